// platform/status_bar.cpp — fixed-width text panels in a QStatusBar.
#include "platform/status_bar.h"

#include <QLabel>
#include <algorithm>

#include "platform/qt_text.h"

PanelStatusBar::PanelStatusBar(QWidget* parent) : QStatusBar(parent) { setSizeGripEnabled(false); }

void PanelStatusBar::AddPanel(int width, bool centred) {
  auto* panel = new QLabel(this);
  panel->setFixedWidth(width);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setAlignment(centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
  addWidget(panel);
  panels_.push_back(panel);
  widths_.push_back(width);
}

void PanelStatusBar::SetPanelText(int index, std::string_view cp932) {
  if (index < 0 || index >= PanelCount()) return;
  QLabel* panel = panels_[static_cast<std::size_t>(index)];
  const QString text = ToQt(cp932);
  panel->setText(text);
  const int needed = panel->fontMetrics().horizontalAdvance(text) + 2 * panel->frameWidth() + 8;
  panel->setFixedWidth(std::max(widths_[static_cast<std::size_t>(index)], needed));
}

std::string PanelStatusBar::PanelText(int index) const {
  if (index < 0 || index >= PanelCount()) return {};
  return FromQt(panels_[static_cast<std::size_t>(index)]->text());
}

int PanelStatusBar::PanelAt(int x) const {
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    const QRect area = panels_[i]->geometry();
    if (x >= area.left() && x <= area.right()) return static_cast<int>(i);
  }
  return -1;
}

void PanelStatusBar::SetHint(std::string_view cp932) { setToolTip(ToQt(cp932)); }

std::string PanelStatusBar::Hint() const { return FromQt(toolTip()); }
