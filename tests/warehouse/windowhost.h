#pragma once

#include "committedrows.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"
#include "ui/windowregistry.h"
#include "../masterdata/masterdatatest.h"

#include <QWidget>

#include <memory>
#include <vector>

namespace Orlavo::Testing {

// A main window that keeps every window its entries open, single or
// tagged; the last one opened, and its tag.
struct KeepingHost : Ui::WindowHost {
    std::vector<std::unique_ptr<QWidget>> windows;
    QString tag;
    QWidget *opened() const { return windows.empty() ? nullptr : windows.back().get(); }
    void openSingle(const QString &, const std::function<QWidget *()> &create) override
    {
        windows.emplace_back(create());
    }
    bool registerOpenWindow(const QString &) override { return false; }
    void unregisterOpenWindow(const QString &) override {}
    QMdiSubWindow *showTaskWindow(QWidget *window, const QString &, const QString &shownTag) override
    {
        windows.emplace_back(window);
        tag = shownTag;
        return nullptr;
    }
    QWidget *hostWidget() override { return nullptr; }
};

// A test of the documents' windows: the standard data, codes typed in upper
// case, this year worked in warehouse "01" with its counters, the brand ABC;
// the fixture registers its subsystem's windows in `registry`, and the
// windows the menu opens stay in `host`. No statement may fail.
template <typename P = RecordingPrompter> class DocumentWindowTest : public StandardDataTest<P>
{
protected:
    static QString thisYear() { return QString::number(QDate::currentDate().year()); }

    void seed() override
    {
        StandardDataTest<P>::seed();
        auto &state = this->context->state;
        state.upperCaseKeys = true;
        state.year = thisYear();
        state.warehouse = QStringLiteral("01");
        this->run(QStringLiteral("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ABC', 'MARCA ABC')"));
        Services::WriteUnit unit(this->context->db, QStringLiteral("Prova"));
        ASSERT_TRUE(Services::Counters::insertFirstYearCounters(unit, thisYear(), false) && unit.commit());
        this->answer();
    }
    void TearDown() override
    {
        EXPECT_EQ(this->dbExits, 0);
        host.windows.clear();
        StandardDataTest<P>::TearDown();
    }

    // The window the menu entry opens.
    QWidget *openEntry(const char *entry)
    {
        const Ui::WindowAction *action = registry.find(QString::fromLatin1(entry));
        EXPECT_NE(action, nullptr) << entry;
        if (action)
            (*action)(host);
        return host.opened();
    }

    Ui::WindowRegistry registry;
    KeepingHost host;
};

// Besides the standard warehouse causals: X01 used by a movement, X02 free.
inline const char *const kUsedAndFreeCausals[] = {
    "INSERT INTO TAB_CAU_MAG (CODICE, DESCRIZIONE, PMA) VALUES ('X01', 'Usata', 0), ('X02', 'Libera', 0)",
    "INSERT INTO MOVMAG (ANNO, NRO_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, QUANTITA) "
    "VALUES ('2026', 1, '01', 'ABC', 'VITE', 'X01', 1)"};

// "description|average" of a causal as committed, empty when there is none.
inline QString storedCausal(const TestArchives &archives, const QString &code)
{
    return committedRows(archives, "SELECT DESCRIZIONE, PMA FROM TAB_CAU_MAG WHERE CODICE = ?", {code}).join(" / ");
}

// A documents' window test holding the window `W` under test.
template <typename W, typename P = RecordingPrompter>
using DocumentWindowFixture = WindowFixture<W, DocumentWindowTest<P>>;

} // namespace Orlavo::Testing
