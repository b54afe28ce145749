#pragma once
// What the serial link and the engine need of the window, and nothing more. Every call
// is synchronous: it returns after the window has carried it out, whichever thread
// makes it. Texts are UTF-8. Controls are named by their ids (toolkit/ControlIds.h).

#include <string>

#include "toolkit/SignalReading.h"

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // Modal box owned by the main window: the text, the caption, one OK button and the
    // information icon. Returns when the operator has closed it.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // Modal question owned by the main window: the text, the caption, the question icon,
    // Yes and No with No the default, so that a stray Enter never says yes. True only
    // for Yes; a cancelled request, or a box closed another way, is No.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;

    // Drop-down lists. Entries keep the order of appending; an index outside the list
    // selects nothing; with nothing selected the index reads -1.
    virtual void ComboClear(int id) = 0;
    virtual void ComboAppend(int id, const std::string& text) = 0;
    virtual void ComboSelect(int id, int index) = 0;
    virtual int ComboSelected(int id) = 0;
    virtual std::string ComboText(int id) = 0;

    // Caption of a button, text of a static control.
    virtual void SetControlText(int id, const std::string& text) = 0;

    // The one-column log view. A row's text is returned whole.
    virtual int LogRowCount(int id) = 0;
    virtual void LogInsertRow(int id, int position, const std::string& text) = 0;
    virtual void LogScrollTo(int id, int row) = 0;
    virtual void LogDeleteAll(int id) = 0;
    virtual std::string LogRowText(int id, int row) = 0;

    // The signal meter: each reading of the signal job, then its end. A window without a
    // meter open ignores it.
    virtual void ShowSignal(const SignalReading& reading) = 0;

    // The window is going away: a request that is waiting to be carried out, and every
    // later one, returns at once without effect (reads give -1, 0 or empty text).
    virtual void CancelRequests() = 0;
};
