#pragma once
// A small dialog's refusal (frontend/FormRefusal.h) shown as the native window's box,
// owned by the dialog, which stays open.

#include <windows.h>

struct FormRefusal;

void gShowRefusal(HWND owner, const FormRefusal& refusal);
