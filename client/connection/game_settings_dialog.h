// client/connection/game_settings_dialog.h — TForm3, the game settings dialog of a challenge.
// Its controls hold the last used settings, which the settings file keeps.
#pragma once
#include <QDialog>
#include <memory>
#include <string>
#include <string_view>

#include "client/connection/model/challenge_texts.h"
#include "platform/file_dialogs.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TForm3 : public QDialog, private OpenDialogEvents {
  Q_OBJECT
 public:
  // Fills the controls from the connect window's settings.
  TForm3();
  ~TForm3() override;

  // The values as they stand, for the challenge; with 局面指定 ticked and a previewed record,
  // the start position too.
  GameSettingsValues Values() const;
  // A new challenge starts without a start position.
  void ForgetStartPosition();

  // 局面指定 changed: ticked, it asks for a record file, previewing the files the user moves
  // through; the chosen record then gives the handicap, the main times and the board size.
  void CheckBox1Click();
  // The record file dialog's events, which drive the record preview.
  void OpenDialog1Show(FileDialogWindow& dialog);
  void OpenDialog1Close();
  void OpenDialog1FolderChange(FileDialogWindow& dialog);
  void OpenDialog1SelectionChange(const std::string& path);

  // The record file dialog for a record to open elsewhere (the analysis room's board): the file
  // chosen, empty when cancelled. The dialog is placed and previews as for a start position.
  std::string ChooseRecordFile(std::string_view title);

  // 送  信: ends the dialog with result 1, unless a value cannot be sent (the user is told why and
  // the dialog stays).
  void BitBtn1Click();

  // Controls.
  QRadioButton* RadioButton1;  // 黒番
  QRadioButton* RadioButton2;  // 白番
  QLineEdit* Edit1;            // black's main time in minutes
  QLineEdit* Edit4;            // white's main time in minutes
  QLineEdit* Edit2;            // added time per move in seconds
  QLineEdit* Edit3;            // komi
  QComboBox* ComboBox1;        // handicap word
  QComboBox* ComboBox2;        // board size: 0 = 19, 1 = 13, 2 = 9 lines
  QCheckBox* CheckBox1;        // 局面指定: start position from a record file
  QPushButton* BitBtn1;        // 送  信
  QPushButton* BitBtn2;        // キャンセル
  FileDialogs* OpenDialog1;    // the record chooser (tests put their double here)

  // 1 while the record dialog opens from CheckBox1Click and has not been placed yet.
  int MoveDialogPending = 0;

 private:
  void CreateControls();
  void OpenDialogShow(FileDialogWindow& dialog) override { OpenDialog1Show(dialog); }
  void OpenDialogClose() override { OpenDialog1Close(); }
  void OpenDialogFolderChange(FileDialogWindow& dialog) override {
    OpenDialog1FolderChange(dialog);
  }
  void OpenDialogSelectionChange(const std::string& path) override {
    OpenDialog1SelectionChange(path);
  }

  std::unique_ptr<FileDialogs> file_dialogs_;  // the desktop's dialogs, over this window
};

extern TForm3* Form3;
