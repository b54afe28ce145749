#include "gui-qt/ModemSetupDlg.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QStyle>

#include <algorithm>

#include "engine/ModemChoices.h"
#include "frontend/AboutText.h"
#include "frontend/MainWindowLayout.h"
#include "frontend/WindowChoices.h"
#include "frontend/WindowMenu.h"
#include "gui-qt/AboutDlg.h"
#include "gui-qt/ComPortCombo.h"
#include "gui-qt/DialogUnits.h"
#include "gui-qt/FocusDefaultButton.h"
#include "gui-qt/HelpBox.h"
#include "gui-qt/LogExport.h"
#include "gui-qt/LogView.h"
#include "gui-qt/StatusLineLabel.h"
#include "gui-qt/SaveLogDialog.h"
#include "gui-qt/SignalMeter.h"
#include "gui-qt/SimPinDlg.h"
#include "gui-qt/TestCallDlg.h"
#include "toolkit/ControlIds.h"

namespace {

// One entry of a drop-down's open list, in vertical dialog units.
constexpr int ListEntryHeight = 8;

QLabel* AddLabel(QWidget* dialog, const char* name, const QString& text, QRect rect) {
    auto* label = new QLabel(text, dialog);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    return label;
}

template <class Combo = QComboBox>
Combo* AddSelector(QWidget* dialog, const DialogUnits& units, const char* name, int x, int y, int width,
                   int height) {
    auto* combo = new Combo(dialog);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(false);
    combo->setInsertPolicy(QComboBox::InsertAtBottom);
    combo->setGeometry(units.ClosedListRect(x, y, width, height));
    combo->setMaxVisibleItems((height - DialogUnits::ClosedListHeight) / ListEntryHeight);
    // Fusion, like other styles, opens a non-editable list as a menu and ignores the
    // entry count; the height of the list's window bounds it in every style.
    combo->view()->window()->setMaximumHeight(units.Y(height - DialogUnits::ClosedListHeight));
    return combo;
}

QPushButton* AddButton(QWidget* dialog, const char* name, const QString& text, QRect rect) {
    auto* button = new FocusDefaultButton(text, dialog);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(rect);
    return button;
}

}  // namespace

// Outside any namespace, as the resource system requires.
static QIcon LoadModemIcon() {
    Q_INIT_RESOURCE(kestrelix);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/modem-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/modem-16.png"), QSize(16, 16));
    return icon;
}

ModemSetupDlg::ModemSetupDlg(IntSettings& settings, QWidget* parent)
    : QDialog(parent), ConfigEngine(settings), Icon(LoadModemIcon()) {
    BuildLayout();
    gAddHelpKey(this, [this] { OnHelp(); });
}

ModemSetupDlg::~ModemSetupDlg() {
    // The worker must not outlive the toolkit object and the controls it reaches; both go
    // before the engine's own destructor runs, which must not reach them either.
    EndWorker();
    SetWindow(nullptr);
}

void ModemSetupDlg::BuildLayout() {
    const QFont font = DialogUnits::DialogFont();
    const DialogUnits units(font);
    setFont(font);
    setObjectName(QStringLiteral("modemSetupDlg"));
    setWindowTitle(QStringLiteral("Kestrelix"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    const QRect whole = units.Rect(0, 0, KX_MAIN_SIZE);
    setFixedSize(whole.size());

    // Layout order is the tab order.
    AddLabel(this, "comLabel", QStringLiteral(KX_COM_LABEL_TEXT), units.Rect(KX_COM_LABEL_RECT));
    ComSelector = AddSelector<ComPortCombo>(this, units, "comSelector", KX_COM_SELECTOR_RECT);
    StartStop = AddButton(this, "startStop", QStringLiteral(KX_START_STOP_TEXT), units.Rect(KX_START_STOP_RECT));

    StatusLine = new StatusLineLabel(this);
    StatusLine->setObjectName(QStringLiteral("statusLine"));
    // Modem replies are shown as they came, never taken for markup.
    StatusLine->setTextFormat(Qt::PlainText);
    StatusLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusLine->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StatusLine->setGeometry(units.Rect(KX_STATUS_LINE_RECT));

    AddLabel(this, "speedLabel", QStringLiteral(KX_SPEED_LABEL_TEXT), units.Rect(KX_SPEED_LABEL_RECT));
    SpeedSelector = AddSelector(this, units, "speedSelector", KX_SPEED_SELECTOR_RECT);
    AddLabel(this, "modelLabel", QStringLiteral(KX_MODEL_LABEL_TEXT), units.Rect(KX_MODEL_LABEL_RECT));
    ModelSelector = AddSelector(this, units, "modelSelector", KX_MODEL_SELECTOR_RECT);
    AddLabel(this, "placeLabel", QStringLiteral(KX_PLACE_LABEL_TEXT), units.Rect(KX_PLACE_LABEL_RECT));
    PlaceSelector = AddSelector(this, units, "placeSelector", KX_PLACE_SELECTOR_RECT);

    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("separator"));
    separator->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    // A sunken line is two pixels high whatever the layout's height for it.
    const QRect line = units.Rect(KX_SEPARATOR_RECT);
    separator->setGeometry(line.x(), line.y(), line.width(), 2);

    Log = new LogView(this);
    Log->setObjectName(QStringLiteral("logView"));
    Log->setGeometry(units.Rect(KX_LOG_VIEW_RECT));

    auto* saveLog = AddButton(this, "saveLog", QStringLiteral(KX_SAVE_LOG_TEXT), units.Rect(KX_SAVE_LOG_RECT));

    Kit.AddCombo(ControlId::ComSelector, ComSelector);
    Kit.AddCombo(ControlId::SpeedSelector, SpeedSelector);
    Kit.AddCombo(ControlId::ModelSelector, ModelSelector);
    Kit.AddCombo(ControlId::PlaceSelector, PlaceSelector);
    Kit.AddTextControl(ControlId::StartStop, StartStop);
    Kit.AddTextControl(ControlId::StatusLine, StatusLine);
    Kit.AddLog(ControlId::LogView, Log);

    connect(StartStop, &QPushButton::clicked, this, [this] { OnStartStop(); });
    connect(saveLog, &QPushButton::clicked, this, [this] { OnSaveLog(); });
}

void ModemSetupDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (Initialised) return;
    Initialised = true;
    OnInitDialog();
}

void ModemSetupDlg::OnInitDialog() {
    SystemMenu = new QMenu(this);
    SystemMenu->setObjectName(QStringLiteral("systemMenu"));
    SystemMenu->setSeparatorsCollapsible(false);
    SystemMenu->addSeparator();
    for (const WindowMenuItem& item : WindowMenuItems) {
        QAction* action = SystemMenu->addAction(QString::fromUtf8(item.Text));
        action->setObjectName(QLatin1String(item.Name));
        connect(action, &QAction::triggered, this, [this, &item] { OnMenuCommand(item.Command); });
        connect(SystemMenu, &QMenu::aboutToShow, action,
                [this, action, &item] { action->setEnabled(gMenuItemEnabled(item, Busy != 0)); });
    }

    setWindowIcon(Icon);
    setWindowTitle(QString::fromUtf8(ProductName));
    SetWindow(&Kit);

    // On this thread the toolkit carries its requests out at once.
    gFillWindowChoices(Kit, gReadStoredChoices(Settings).ComIndex);

    // Room for the vertical scroll bar that many rows bring, so that a row never needs a
    // sideways one.
    const int clientWidth = Log->contentsRect().width();
    Log->setRowCount(0);
    Log->SetColumn(QStringLiteral(KX_LOG_HEADING),
                   clientWidth - Log->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Log));

    InitEngine();
}

void ModemSetupDlg::OnMenuCommand(MenuCommand command) {
    switch (command) {
    case MenuCommand::About:
        return OnSysCommand(static_cast<int>(command));
    // The check runs on the worker like a job, so it waits while one is busy.
    case MenuCommand::CheckModem:
        return OnCheckModem();
    case MenuCommand::SignalMeter:
        return OnSignalMeter();
    case MenuCommand::SimPin:
        return OnSimPinItem();
    case MenuCommand::TestCall:
        return OnTestCallItem();
    }
}

void ModemSetupDlg::OnSysCommand(int id) {
    if ((id & 0xFFF0) != static_cast<int>(MenuCommand::About)) return;
    AboutDlg about(this);
    connect(&about, &AboutDlg::HelpRequested, this, [this] { OnHelp(); });
    about.exec();
}

void ModemSetupDlg::OnSignalMeter() {
    if (Busy != 0) return;
    if (!Meter) {
        Meter = new SignalMeter(this, [this] { StopRun(); });
        Kit.SetSignalView([this](const SignalReading& reading) { Meter->Show(reading); });
    }
    Meter->Restart();
    Meter->show();
    Meter->raise();
    OnMeasureSignal();
}

void ModemSetupDlg::OnSimPinItem() {
    if (Busy != 0) return;
    SimPinDlg ask(this);
    if (ask.exec() != QDialog::Accepted) return;
    std::string pin = ask.TakePin();
    OnSimPin(pin);
    std::fill(pin.begin(), pin.end(), '\0');
}

void ModemSetupDlg::OnTestCallItem() {
    if (Busy != 0) return;
    TestCallDlg ask(this, ComSelector->currentIndex() + 1);
    if (ask.exec() == QDialog::Accepted) OnTestCall(ask.Request());
}

void ModemSetupDlg::OnHelp() { gShowHelp(this); }

// Rows that the worker adds while the dialog is open are handled by the dialog's modal
// loop, so the export holds every row present when the dialog returns.
void ModemSetupDlg::OnSaveLog() {
    const QPointer<QWidget> focused = focusWidget();
    if (const std::optional<std::string> chosen = gAskSaveLogPath(this)) gSaveLogTo(Kit, *chosen, this);
    // Once the dialog and its questions have gone, nothing hands the activation back:
    // window managers, and Qt without one, may leave no window active.
    activateWindow();
    if (focused) focused->setFocus(Qt::ActiveWindowFocusReason);
}

void ModemSetupDlg::accept() {}

void ModemSetupDlg::reject() {
    if (CloseRequested) QDialog::reject();
}

void ModemSetupDlg::closeEvent(QCloseEvent* event) {
    CloseRequested = 1;
    if (Meter) Meter->close();
    QDialog::closeEvent(event);
}

void ModemSetupDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (SystemMenu) SystemMenu->exec(event->globalPos());
}
