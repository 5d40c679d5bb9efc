#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

namespace Orlavo::Testing {

// The child of that name; a missing one fails the test.
template <typename T = QWidget> T *named(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

} // namespace Orlavo::Testing
