#include <gtest/gtest.h>

#include "ui/ModalSeam.h"

TEST(QtFileFilter, PipeFiltersBecomeQtFilters) {
    EXPECT_EQ(QtFileFilter(QStringLiteral("SQL files (*.sql)|*.sql|All files (*.*)|*.*")),
              QStringLiteral("SQL files (*.sql);;All files (*.*)"));
    EXPECT_EQ(QtFileFilter(QStringLiteral("Text file (Tab Delimited) (*.txt)|*.txt|")),
              QStringLiteral("Text file (Tab Delimited) (*.txt)"));
    EXPECT_EQ(QtFileFilter(QStringLiteral("Pictures|*.png;*.jpg")),
              QStringLiteral("Pictures (*.png *.jpg)"));
    EXPECT_EQ(QtFileFilter(QString()), QString());
}
