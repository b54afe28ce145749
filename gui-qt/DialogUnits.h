#pragma once
// Positions given in dialog units, turned into pixels with the metrics of the dialog's
// font: a horizontal unit is a quarter of the average character width, a vertical unit
// an eighth of the font's height.

#include <QFont>
#include <QRect>

class DialogUnits {
public:
    // A closed drop-down list, in vertical dialog units; a layout gives each list's
    // height with its open list.
    static constexpr int ClosedListHeight = 12;

    explicit DialogUnits(const QFont& font);

    // "MS Sans Serif" at 8 points where it exists, otherwise the system's sans-serif.
    static QFont DialogFont();

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;
    // A drop-down list's rectangle when closed, from the layout's with its open list.
    QRect ClosedListRect(int x, int y, int width, int height) const;

private:
    int BaseX;
    int BaseY;
};
