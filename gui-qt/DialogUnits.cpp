#include "gui-qt/DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>

namespace {

// Scales and rounds to the nearest pixel.
int Scale(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator : -denominator) / 2) / denominator);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width is taken over the Latin letters, rounded as dialog templates do.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    BaseX = (letters / 26 + 1) / 2;
    BaseY = metrics.height();
}

QFont DialogUnits::DialogFont() {
    const QString classic = QStringLiteral("MS Sans Serif");
    QFont font = QFontDatabase::hasFamily(classic) ? QFont(classic) : QFont(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

int DialogUnits::X(int units) const { return Scale(units, BaseX, 4); }
int DialogUnits::Y(int units) const { return Scale(units, BaseY, 8); }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return {X(x), Y(y), X(width), Y(height)};
}

QRect DialogUnits::ClosedListRect(int x, int y, int width, int) const { return Rect(x, y, width, ClosedListHeight); }
