// client/connection/game_settings_dialog.cpp — the game settings dialog's controls and their
// values from the settings file.
#include "client/connection/game_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/model/client_settings.h"
#include "platform/fonts.h"
#include "platform/qt_text.h"

TForm3* Form3 = nullptr;

namespace {
constexpr const char* kFont = "ＭＳ Ｐゴシック";

QLineEdit* MakeEdit(QWidget* parent, int left, int top) {
  auto* edit = new QLineEdit(parent);
  edit->setFont(PixelFont(kFont, 16));
  edit->setAlignment(Qt::AlignRight);
  edit->setGeometry(left, top, 48, 26);
  return edit;
}

QLabel* MakeLabel(QWidget* parent, const char* text, int left, int top) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setFont(PixelFont(kFont, 16));
  label->move(left, top);
  label->adjustSize();
  return label;
}
}  // namespace

TForm3::TForm3() {
  CreateControls();
  Edit1->setText(ToQt(Form2->KuroTime));
  Edit4->setText(ToQt(Form2->SiroTime));
  Edit2->setText(ToQt(Form2->AddTime));
  Edit3->setText(ToQt(Form2->Komi));
  ComboBox1->setEditText(ToQt(Form2->Wari));
  ComboBox2->setCurrentIndex(BoardSizeIndexOfText(Form2->BoardSizeText));
}

void TForm3::CreateControls() {
  setWindowTitle(QString::fromUtf8(" 対 局 設 定"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(444, 300);
  setFont(PixelFont(kFont, 14));

  RadioButton1 = new QRadioButton(QString::fromUtf8("黒番"), this);
  RadioButton1->setGeometry(40, 20, 90, 24);
  RadioButton1->setChecked(true);
  RadioButton2 = new QRadioButton(QString::fromUtf8("白番"), this);
  RadioButton2->setGeometry(140, 20, 90, 24);

  MakeLabel(this, "黒 持ち時間", 40, 64);
  Edit1 = MakeEdit(this, 140, 60);
  MakeLabel(this, "分", 194, 64);
  MakeLabel(this, "白 持ち時間", 230, 64);
  Edit4 = MakeEdit(this, 330, 60);
  MakeLabel(this, "分", 384, 64);
  MakeLabel(this, "追加時間", 40, 104);
  Edit2 = MakeEdit(this, 140, 100);
  MakeLabel(this, "秒", 194, 104);
  MakeLabel(this, "コミ", 230, 104);
  Edit3 = MakeEdit(this, 330, 100);
  MakeLabel(this, "目", 384, 104);

  MakeLabel(this, "手合", 40, 146);
  ComboBox1 = new QComboBox(this);
  ComboBox1->setEditable(true);
  for (const char* word :
       {"互先", "定先", "２子", "３子", "４子", "５子", "６子", "７子", "８子", "９子"}) {
    ComboBox1->addItem(QString::fromUtf8(word));
  }
  ComboBox1->setGeometry(140, 142, 90, 26);
  ComboBox2 = new QComboBox(this);
  for (const char* size : {"１９路盤", "１３路盤", " ９路盤"})
    ComboBox2->addItem(QString::fromUtf8(size));
  ComboBox2->setGeometry(250, 142, 120, 26);

  // Choosing a start position needs the record preview, which is not built yet.
  CheckBox1 = new QCheckBox(QString::fromUtf8("局面指定"), this);
  CheckBox1->setGeometry(40, 190, 120, 24);
  CheckBox1->setEnabled(false);

  BitBtn1 = new QPushButton(QString::fromUtf8("送  信"), this);
  BitBtn1->setGeometry(90, 240, 120, 36);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  BitBtn2 = new QPushButton(QString::fromUtf8("キャンセル"), this);
  BitBtn2->setGeometry(234, 240, 120, 36);
  connect(BitBtn2, &QPushButton::clicked, this, [this] { done(2); });
}

GameSettingsValues TForm3::Values() const {
  GameSettingsValues values;
  values.ChallengerBlack = RadioButton1->isChecked();
  values.BlackMinutes = FromQt(Edit1->text());
  values.WhiteMinutes = FromQt(Edit4->text());
  values.AddedSeconds = FromQt(Edit2->text());
  values.Komi = FromQt(Edit3->text());
  values.Handicap = FromQt(ComboBox1->currentText());
  values.SizeIndex = ComboBox2->currentIndex();
  return values;
}

void TForm3::ForgetStartPosition() { CheckBox1->setChecked(false); }

void TForm3::BitBtn1Click() {
  const GameSettingsValues values = Values();
  for (const auto& [problem, field] :
       {std::pair{KomiProblem(values.Komi), static_cast<QWidget*>(Edit3)},
        std::pair{HandicapProblem(values.Handicap), static_cast<QWidget*>(ComboBox1)}}) {
    if (problem.empty()) continue;
    ClientShowMessage(problem);
    field->setFocus();
    return;
  }
  done(1);
}
