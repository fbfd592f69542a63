#include <gtest/gtest.h>

#include <QPushButton>
#include <QWidget>

#include "ui/AnchorLayout.h"

// A container laid out for 200 x 100 and grown to 300 x 160.
TEST(AnchorLayout, AnchorsKeepDistancesToTheirEdges) {
    QWidget container;
    auto* layout = new TAnchorLayout(&container, QSize(200, 100));
    auto* fixed = new QPushButton;
    auto* stretched = new QPushButton;
    auto* corner = new QPushButton;
    auto* widening = new QPushButton;
    widening->setMinimumWidth(150);
    layout->Place(fixed, QRect(5, 5, 50, 20));
    layout->Place(stretched, QRect(10, 30, 180, 40), akLeft | akTop | akRight | akBottom);
    layout->Place(corner, QRect(140, 75, 50, 20), akRight | akBottom);
    layout->Place(widening, QRect(60, 5, 130, 20), akLeft | akTop | akRight);

    layout->setGeometry(QRect(0, 0, 300, 160));
    EXPECT_EQ(fixed->geometry(), QRect(5, 5, 50, 20));
    EXPECT_EQ(stretched->geometry(), QRect(10, 30, 280, 100));
    EXPECT_EQ(corner->geometry(), QRect(240, 135, 50, 20));
    EXPECT_EQ(widening->geometry(), QRect(60, 5, 230, 20));

    layout->setGeometry(QRect(0, 0, 150, 100));
    EXPECT_EQ(widening->width(), 150) << "an explicit minimum width holds when shrinking";
}
