// client/connection/game_settings_dialog.h — TForm3, the game settings dialog of a challenge.
// Its controls hold the last used settings, which the settings file keeps.
#pragma once
#include <QDialog>

#include "client/connection/model/challenge_texts.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TForm3 : public QDialog {
  Q_OBJECT
 public:
  // Fills the controls from the connect window's settings.
  TForm3();

  // The values as they stand, for the challenge.
  GameSettingsValues Values() const;
  // A new challenge starts without a start position.
  void ForgetStartPosition();

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

 private:
  void CreateControls();
};

extern TForm3* Form3;
