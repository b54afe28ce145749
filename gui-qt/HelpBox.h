#pragma once
// The help action: without a platform help viewer it shows a short help text in Russian.
// F1 without Shift, Ctrl or Alt asks for it in the main window and in the About box.

#include <functional>

class QWidget;

// Shows the help box modally, owned by owner.
void gShowHelp(QWidget* owner);

// Makes F1 (without modifiers) anywhere in window call onHelp.
void gAddHelpKey(QWidget* window, std::function<void()> onHelp);
