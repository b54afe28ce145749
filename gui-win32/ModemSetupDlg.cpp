#include "gui-win32/ModemSetupDlg.h"

#include <commctrl.h>

#include <algorithm>

#include "engine/ModemChoices.h"
#include "frontend/AboutText.h"
#include "frontend/MainWindowLayout.h"
#include "frontend/WindowChoices.h"
#include "gui-win32/AboutDlg.h"
#include "gui-win32/DialogInit.h"
#include "gui-win32/HelpBox.h"
#include "gui-win32/LogExport.h"
#include "gui-win32/LogRowTips.h"
#include "gui-win32/Resource.h"
#include "gui-win32/SimPinDlg.h"
#include "gui-win32/TestCallDlg.h"
#include "os/Utf16_win32.h"
#include "toolkit/ControlIds.h"

namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

}  // namespace

ModemSetupDlg::ModemSetupDlg(IntSettings& settings)
    : ConfigEngine(settings), Icon(LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_MODEM))) {}

ModemSetupDlg::~ModemSetupDlg() {
    // The window's end has already ended the worker. The toolkit goes before the engine's
    // own destructor runs, which must not reach it.
    EndWorker();
    SetWindow(nullptr);
}

INT_PTR ModemSetupDlg::DoModal() {
    return DialogBoxParamW(Instance(), MAKEINTRESOURCEW(IDD_MODEM_SETUP), nullptr, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ModemSetupDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<ModemSetupDlg*>(lParam)->Dialog = dialog;
    }
    auto* self = reinterpret_cast<ModemSetupDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR ModemSetupDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_SYSCOMMAND:
        return OnMenuCommand(static_cast<UINT>(wParam & 0xFFF0));
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
        // The menu is about to open: the run items show whether a run would start now.
        // Wine names the system menu in WM_INITMENU by another handle than
        // GetSystemMenu's; its WM_INITMENUPOPUP says by a flag that the menu is the system's.
        if (message == WM_INITMENUPOPUP ? HIWORD(lParam) != 0
                                        : reinterpret_cast<HMENU>(wParam) == GetSystemMenu(Dialog, FALSE))
            GreyRunItems(reinterpret_cast<HMENU>(wParam));
        return FALSE;
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(Icon);
    case WM_CLOSE:
        // The dialog's default handling answers with IDCANCEL, which this flag lets through.
        CloseRequested = 1;
        return FALSE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DRAWITEM:
        return ComList && ComList->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_HELP:
        gOnHelpKey(Dialog);
        return TRUE;
    case Win32Toolkit::RequestMessage:
        Kit.RunRequest();
        return TRUE;
    case WM_DESTROY:
        // The controls go after this message: no request of the worker may reach them.
        EndWorker();
        Kit.SetSignalView(nullptr);
        Meter.reset();
        RowTips.reset();
        ComList.reset();
        Dialog = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL ModemSetupDlg::OnInitDialog() {
    gApplyDialogInit(Dialog, Instance(), IDD_MODEM_SETUP);
    Kit.Attach(Dialog);
    ComList = std::make_unique<ComPortList>(GetDlgItem(Dialog, ControlId::ComSelector),
                                            GetDlgItem(Dialog, ControlId::SpeedSelector));

    if (HMENU menu = GetSystemMenu(Dialog, FALSE)) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        for (const WindowMenuItem& item : WindowMenuItems)
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.Command), gToUtf16(item.Text).c_str());
    }

    SendMessageW(Dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon));
    SendMessageW(Dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Icon));
    SetWindowTextW(Dialog, gToUtf16(ProductName).c_str());
    SetWindow(&Kit);

    // On this thread the toolkit carries its requests out at once.
    gFillComChoices(Kit, gReadStoredChoices(Settings).ComIndex);

    HWND log = GetDlgItem(Dialog, ControlId::LogView);
    RECT client{};
    GetClientRect(log, &client);
    ListView_DeleteAllItems(log);
    std::wstring heading = gToUtf16(KX_LOG_HEADING);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_CENTER;
    // Room for the vertical scroll bar that many rows bring, at the window's DPI, so that
    // a row never needs a sideways one.
    column.cx = client.right - client.left - GetSystemMetricsForDpi(SM_CXVSCROLL, GetDpiForWindow(log));
    column.pszText = heading.data();
    column.iSubItem = 0;
    SendMessageW(log, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    // A list view draws its first column's heading on the left whatever the column asks;
    // the heading control itself centres it.
    HDITEMW headingItem{};
    headingItem.mask = HDI_FORMAT;
    HWND header = ListView_GetHeader(log);
    Header_GetItem(header, 0, &headingItem);
    headingItem.fmt = (headingItem.fmt & ~HDF_JUSTIFYMASK) | HDF_CENTER;
    Header_SetItem(header, 0, &headingItem);
    const DWORD style = ListView_GetExtendedListViewStyle(log);
    ListView_SetExtendedListViewStyleEx(log, 0,
                                        (style & ~DWORD{LVS_EX_CHECKBOXES}) | LVS_EX_FULLROWSELECT |
                                            LVS_EX_GRIDLINES);
    // A row cut off at the column's edge shows its whole text in a tip under the pointer;
    // the list view's own label tip never shows under Wine.
    RowTips = std::make_unique<LogRowTips>(log);

    InitEngine();
    return TRUE;
}

void ModemSetupDlg::OnCommand(WORD id, WORD code) {
    switch (id) {
    case ControlId::ComSelector:
        if (ComList) ComList->OnNotification(code);
        break;
    case ControlId::StartStop:
        if (code == BN_CLICKED) OnStartStop();
        break;
    case ControlId::SaveLog:
        if (code == BN_CLICKED) OnSaveLog();
        break;
    case IDCANCEL:
        // Esc alone leaves the dialog open.
        if (CloseRequested) EndDialog(Dialog, IDCANCEL);
        break;
    default:
        // IDOK, from Enter, does nothing.
        break;
    }
}

// The other commands of the system menu are the system's own.
bool ModemSetupDlg::OnMenuCommand(UINT command) {
    switch (static_cast<MenuCommand>(command)) {
    case MenuCommand::About:
        RunAboutBox();
        return true;
    // The check waits while a run is busy, as the engine decides.
    case MenuCommand::CheckModem:
        OnCheckModem();
        return true;
    case MenuCommand::SignalMeter:
        OnSignalMeter();
        return true;
    case MenuCommand::SimPin:
        OnSimPinItem();
        return true;
    case MenuCommand::TestCall:
        OnTestCallItem();
        return true;
    }
    return false;
}

void ModemSetupDlg::RunAboutBox() {
    AboutDlg about;
    about.DoModal(Dialog);
}

bool ModemSetupDlg::OnPaint() {
    if (!IsIconic(Dialog)) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Dialog, &paint);
    SendMessageW(Dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client{};
    GetClientRect(Dialog, &client);
    DrawIcon(dc, (client.right - client.left - iconWidth + 1) / 2, (client.bottom - client.top - iconHeight + 1) / 2,
             Icon);
    EndPaint(Dialog, &paint);
    return true;
}

// Rows that the worker adds while the save dialog is open are carried out by its modal
// loop, so the export holds every row present when the dialog returns.
void ModemSetupDlg::OnSaveLog() {
    if (const std::optional<std::string> chosen = gAskSaveLogPath(Dialog)) gSaveLogTo(Kit, *chosen, Dialog);
}

void ModemSetupDlg::GreyRunItems(HMENU menu) const {
    for (const WindowMenuItem& item : WindowMenuItems)
        EnableMenuItem(menu, static_cast<UINT>(item.Command),
                       MF_BYCOMMAND | (gMenuItemEnabled(item, Busy != 0) ? MF_ENABLED : MF_GRAYED));
}

// Like the check, the signal job waits while a run is busy.
void ModemSetupDlg::OnSignalMeter() {
    if (Busy != 0) return;
    if (!Meter) {
        Meter = std::make_unique<SignalMeter>(Dialog, [this] { StopRun(); });
        Kit.SetSignalView([this](const SignalReading& reading) { Meter->Show(reading); });
    }
    Meter->Restart();
    OnMeasureSignal();
}

void ModemSetupDlg::OnSimPinItem() {
    if (Busy != 0) return;
    SimPinDlg ask;
    if (!ask.DoModal(Dialog)) return;
    std::string pin = ask.TakePin();
    OnSimPin(pin);
    std::fill(pin.begin(), pin.end(), '\0');
}

void ModemSetupDlg::OnTestCallItem() {
    if (Busy != 0) return;
    TestCallDlg ask(Kit.ComboSelected(ControlId::ComSelector) + 1);
    if (ask.DoModal(Dialog)) OnTestCall(ask.Request());
}
