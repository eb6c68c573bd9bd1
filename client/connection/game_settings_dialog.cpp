// client/connection/game_settings_dialog.cpp — the game settings dialog's controls and their
// values from the settings file.
#include "client/connection/game_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "client/board/model/record_files.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/model/client_settings.h"
#include "client/views/model/record_info.h"
#include "client/views/record_preview.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"

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

TForm3::TForm3() : file_dialogs_(std::make_unique<QtFileDialogs>(this)) {
  OpenDialog1 = file_dialogs_.get();
  MoveDialogPending = 0;
  CreateControls();
  Edit1->setText(ToQt(Form2->KuroTime));
  Edit4->setText(ToQt(Form2->SiroTime));
  Edit2->setText(ToQt(Form2->AddTime));
  Edit3->setText(ToQt(Form2->Komi));
  ComboBox1->setEditText(ToQt(Form2->Wari));
  ComboBox2->setCurrentIndex(BoardSizeIndexOfText(Form2->BoardSizeText));
}

TForm3::~TForm3() = default;

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

  CheckBox1 = new QCheckBox(QString::fromUtf8("局面指定"), this);
  CheckBox1->setGeometry(40, 190, 120, 24);
  connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });

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
  if (CheckBox1->isChecked() && Form11->PreviewEntryCount > 0) {
    values.StartPosition = RecordToKifuStart(Form11->PreviewRecordText);
  }
  return values;
}

// ---------------------------------------------------------------------------------------------
// The start position

std::string TForm3::ChooseRecordFile(std::string_view title) {
  MoveDialogPending = 1;
  const std::string chosen = OpenDialog1->ChooseOpenFileFollowed(
      title, Form2->OpenDialogDir, J("SGF棋譜ファイル|*.sgf|すべてのファイル(*.*)|*.*"), *this);
  MoveDialogPending = 0;
  const std::string folder = chosen.empty() ? std::string() : FolderOfPath(chosen);
  if (!folder.empty()) Form2->OpenDialogDir = folder.back() == '/' ? folder : folder + "/";
  return chosen;
}

void TForm3::CheckBox1Click() {
  if (!CheckBox1->isChecked()) return;
  const std::string chosen = ChooseRecordFile(J("スタート局面の指定 [棋譜選択]"));
  const auto untick = [this] {
    const QSignalBlocker quiet(CheckBox1);
    CheckBox1->setChecked(false);
  };
  if (chosen.empty()) return untick();
  // The values come from the chosen file: the preview may show another one when the file was
  // chosen without being selected first, or was not previewed for its name.
  if (Form11->PreviewedFile() != chosen) Form11->LoadRecordFile(chosen);
  if (Form11->PreviewRecordText.empty()) return untick();  // no record in the file
  ComboBox1->setEditText(ToQt(Form11->PreviewHandicapLabel));
  if (!Form11->PreviewBlackTime.empty()) Edit1->setText(ToQt(Form11->PreviewBlackTime));
  if (!Form11->PreviewWhiteTime.empty()) Edit4->setText(ToQt(Form11->PreviewWhiteTime));
  ComboBox2->setCurrentIndex(Form11->PreviewBoardSize == 13  ? 1
                             : Form11->PreviewBoardSize == 9 ? 2
                                                             : 0);
  // A record without a stone gives no start position: the tick would promise one.
  if (Form11->PreviewEntryCount == 0) untick();
}

void TForm3::OpenDialog1Show(FileDialogWindow& dialog) {
  Form11->ShowBeside(dialog.Widget(), true);
}

void TForm3::OpenDialog1Close() { Form11->HidePreview(); }

void TForm3::OpenDialog1FolderChange(FileDialogWindow& dialog) {
  Form11->PaintPreviewBoard();
  Form11->InfoLines.Clear();
  if (MoveDialogPending == 0) return;
  // Once per opening: beside this dialog, clear of the preview at the right of the screen.
  dialog.Place(WindowLeft(this) - 100, 77, WindowWidth(this) - 40, 250);
  MoveDialogPending = 0;
}

void TForm3::OpenDialog1SelectionChange(const std::string& path) {
  Form11->PaintPreviewBoard();
  Form11->InfoLines.Clear();
  std::string upper = path;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const std::size_t sgf = upper.find(".SGF");
  if (FileExists(path) && sgf != std::string::npos && sgf > 0) Form11->LoadRecordFile(path);
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
