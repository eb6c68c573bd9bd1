// client/connection/client_main_form.h — TClientMainForm, the hidden main window whose closing
// writes the settings and ends the program.
#pragma once
#include <functional>

class TClientMainForm {
 public:
  // Creates the record folder SGF below the work folder when it does not exist.
  TClientMainForm();

  // Closes the main form: FormClose, then the program ends (once; later calls do nothing).
  void Close();
  // Writes the client's settings file.
  void FormClose();

  bool Closed() const { return closed_; }
  // Called once the main form has closed; the program ends there.
  std::function<void()> OnClosed;

 private:
  bool closed_ = false;
};

extern TClientMainForm* ClientMainForm;
