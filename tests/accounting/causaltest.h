#pragma once

#include "committedrows.h"
#include "../masterdata/masterdatatest.h"

namespace Orlavo::Testing {

// The standard data (accounts, VAT codes, causal types, the standard
// causals), a paying bank B1 and a non-deductible VAT code 8.
class CausalTest : public StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        run("INSERT INTO TAB_BAN_PAG (CODICE, DESCRIZIONE) VALUES ('B1', 'Banca Uno')");
        run("INSERT INTO TAB_PERIVA (CODICE, DESCRIZIONE, ALIQUOTA, TIPO_CODICE) VALUES ('8', 'Indetraibile', 22, "
            "'D')");
        answer();
    }

    // A committed causal as "TYPE|DESCRIPTION|DEDUCTIBLE|VAT|BANK|DARE_1|AVERE_1";
    // empty when there is none.
    QString stored(const QString &code)
    {
        return committedRows(*archives,
                             "SELECT TIPO_CAUSALE, DESCRIZIONE, COALESCE(DETRAIBILE, ''), COALESCE(COD_IVA, ''), "
                             "COALESCE(CASSA_BANCA, ''), COALESCE(DARE_1, ''), COALESCE(AVERE_1, '') "
                             "FROM TAB_CAU_CONT WHERE CAUSALE = ?",
                             {code})
            .join(" / ");
    }
};

} // namespace Orlavo::Testing
