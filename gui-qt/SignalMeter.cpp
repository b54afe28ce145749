#include "gui-qt/SignalMeter.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

#include "engine/SignalValue.h"
#include "frontend/SignalMeterLook.h"

namespace {

QColor LevelColour(const SignalReading& reading) { return QColor(QRgb(gSignalColour(reading))); }

// A band's shade: its colour, faint over the plot's base.
QColor Shade(uint32_t rgb) {
    QColor shade{QRgb(rgb)};
    shade.setAlpha(60);
    return shade;
}

}  // namespace

// The level as a long bar, its length from none to the best level a modem reports.
class SignalMeter::Bar : public QWidget {
public:
    explicit Bar(QWidget* parent) : QWidget(parent) { setMinimumSize(320, 36); }
    void Set(const SignalReading& reading) {
        Reading = reading;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect frame = rect().adjusted(0, 0, -1, -1);
        painter.fillRect(frame, palette().base());
        if (Reading) {
            const int width = gSignalBarLength(*Reading, frame.width());
            painter.fillRect(QRect(frame.left(), frame.top(), width, frame.height()), LevelColour(*Reading));
        }
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(frame);
    }

private:
    std::optional<SignalReading> Reading;
};

// The last readings: time to the right, dBm upwards, the good and weak bands shaded and a
// gap where the modem had no level.
class SignalMeter::Plot : public QWidget {
public:
    explicit Plot(QWidget* parent) : QWidget(parent) { setMinimumSize(320, 140); }
    void Add(const SignalReading& reading) {
        Levels.push_back(reading.Dbm);
        while (Levels.size() > SignalPlotLength) Levels.pop_front();
        update();
    }
    void Clear() {
        Levels.clear();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF area = QRectF(rect()).adjusted(34, 4, -4, -4);
        painter.fillRect(rect(), palette().base());
        auto y = [&](double dbm) {
            return area.bottom() - (dbm - LowestDbm) * area.height() / (HighestDbm - LowestDbm);
        };
        auto x = [&](size_t index) { return area.left() + index * area.width() / (SignalPlotLength - 1); };
        for (const auto& [word, colour] : SignalBandShades) {
            const auto [low, high] = gSignalBand(word);
            const QRectF band(area.left(), y(high), area.width(), y(low) - y(high));
            painter.fillRect(band, Shade(colour));
            painter.setPen(palette().color(QPalette::PlaceholderText));
            painter.drawText(band.adjusted(4, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf8(word));
        }
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(area);
        painter.setPen(palette().color(QPalette::Text));
        for (int dbm : SignalScaleMarks) {
            painter.drawText(QRectF(0, y(dbm) - 8, area.left() - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(dbm));
        }
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        // The newest reading sits at the right edge.
        const size_t offset = SignalPlotLength - Levels.size();
        for (size_t i = 1; i < Levels.size(); ++i) {
            if (Levels[i - 1] && Levels[i])
                painter.drawLine(QPointF(x(offset + i - 1), y(*Levels[i - 1])), QPointF(x(offset + i), y(*Levels[i])));
        }
        if (Levels.size() == 1 && Levels.front()) painter.drawPoint(QPointF(x(offset), y(*Levels.front())));
    }

private:
    std::deque<std::optional<int>> Levels;
};

SignalMeter::SignalMeter(QWidget* owner, std::function<void()> stop) : QWidget(owner, Qt::Window), Stop(std::move(stop)) {
    setObjectName(QStringLiteral("signalMeter"));
    setWindowTitle(QString::fromStdString(gSignalMeterTitle()));
    setAttribute(Qt::WA_DeleteOnClose, false);

    LevelBar = new Bar(this);
    LevelBar->setObjectName(QStringLiteral("signalBar"));
    Figure = new QLabel(this);
    Figure->setObjectName(QStringLiteral("signalFigure"));
    QFont big = Figure->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    Figure->setFont(big);
    Words = new QLabel(this);
    Words->setObjectName(QStringLiteral("signalWords"));
    QFont large = Words->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    Words->setFont(large);
    History = new Plot(this);
    History->setObjectName(QStringLiteral("signalPlot"));
    Registration = new QLabel(this);
    Registration->setObjectName(QStringLiteral("signalRegistration"));
    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("signalSummary"));
    Summary->setWordWrap(true);
    StopButton = new QPushButton(QString::fromUtf8(SignalStopText), this);
    StopButton->setObjectName(QStringLiteral("signalStop"));
    StopButton->setEnabled(false);
    for (QLabel* label : {Figure, Words, Registration, Summary}) label->setTextFormat(Qt::PlainText);

    auto* figures = new QHBoxLayout;
    figures->addWidget(Figure);
    figures->addSpacing(16);
    figures->addWidget(Words, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Registration, 1);
    bottom->addWidget(StopButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LevelBar);
    layout->addLayout(figures);
    layout->addWidget(History, 1);
    layout->addLayout(bottom);
    layout->addWidget(Summary);

    connect(StopButton, &QPushButton::clicked, this, [this] {
        if (Running) Stop();
    });
}

void SignalMeter::Restart() {
    Running = true;
    History->Clear();
    Figure->clear();
    Words->clear();
    Registration->clear();
    Summary->clear();
    StopButton->setEnabled(true);
}

void SignalMeter::Show(const SignalReading& reading) {
    if (reading.Ended) {
        Running = false;
        StopButton->setEnabled(false);
        Summary->setText(QString::fromStdString(reading.Summary));
        return;
    }
    LevelBar->Set(reading);
    History->Add(reading);
    Figure->setText(QString::fromStdString(gSignalFigureText(reading)));
    Words->setText(QString::fromStdString(gSignalWordsText(reading)));
    Registration->setText(QString::fromStdString(gSignalRegistrationText(reading)));
}

void SignalMeter::closeEvent(QCloseEvent* event) {
    if (Running) Stop();
    QWidget::closeEvent(event);
}
