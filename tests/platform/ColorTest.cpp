#include "platform/TColor.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

TEST(Color, RgbValuesKeepRedInTheLowByte)
{
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(clBlue), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(RGBColor(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56)), 0x563412u);
}

TEST(Color, SystemColoursFollowThePalette)
{
    const QPalette pal = QGuiApplication::palette();
    EXPECT_EQ(ToQColor(clHighlight), pal.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(ToQColor(clWindow), pal.color(QPalette::Base));
    EXPECT_EQ(ColorToRGB(clBtnFace), FromQColor(pal.color(QPalette::Button)));
    EXPECT_EQ(ToQColor(clNone).alpha(), 0);
}
