#pragma once
// A small dialog's refusal (frontend/FormRefusal.h) shown as the Qt window's box, owned by
// the dialog, which stays open.

struct FormRefusal;
class QWidget;

void gShowRefusal(QWidget* owner, const FormRefusal& refusal);
