// Rows for what the modem sent beside its replies.

#include "engine/ConfigEngine.h"
#include "engine/Cp1251.h"
#include "engine/Format.h"
#include "engine/Messages.h"

void ConfigEngine::ReportUnasked(const UnaskedLine& line) {
    if (line.Kind == Unasked::Quiet || line.Text == ToldUnasked) return;
    ToldUnasked = line.Text;
    const std::string text = gCp1251ToUtf8(line.Text);
    ReportProgress(gFormat(line.Kind == Unasked::Undervoltage ? Msg::PowerLow : Msg::ShuttingDown, text.c_str()));
}

// A modem switched on with the job sends bytes while it starts and answers AT only
// when it is ready, 3 to 5 s after power-up (TC35i AT Command Set, AT+IPR): the
// operator is told to try again rather than to look for a fault.
void ConfigEngine::HintStillStarting() {
    if (SearchHeard && !StopRequested && !SearchPortFailed) ReportProgress(Msg::MaybeStarting);
}
