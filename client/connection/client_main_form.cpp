// client/connection/client_main_form.cpp — the hidden main window.
#include "client/connection/client_main_form.h"

#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "platform/files.h"

TClientMainForm* ClientMainForm = nullptr;

TClientMainForm::TClientMainForm() {
  const std::string records = WorkPath("SGF");
  if (!DirectoryExists(records)) MakeDirectory(records);
}

void TClientMainForm::Close() {
  if (closed_) return;
  closed_ = true;
  FormClose();
  if (OnClosed) OnClosed();
}

void TClientMainForm::FormClose() {
  if (Form2 != nullptr) Form2->SaveClientSettings();
}
