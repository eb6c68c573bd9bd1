// platform/status_bar.h — a status bar of fixed-width text panels, with cp932 texts and hints.
#pragma once
#include <QStatusBar>
#include <string>
#include <string_view>
#include <vector>

class QLabel;

class PanelStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  explicit PanelStatusBar(QWidget* parent = nullptr);
  // Adds a panel of `width` pixels; its text is centred when asked. A text wider than the panel
  // widens it, so that nothing is cut off.
  void AddPanel(int width, bool centred);
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  // Nothing for a panel that does not exist; the empty text for its text.
  void SetPanelText(int index, std::string_view cp932);
  std::string PanelText(int index) const;
  // The panel at x (in the bar's coordinates), or -1 between and beside the panels.
  int PanelAt(int x) const;
  // The bar's hint (tooltip) over every panel.
  void SetHint(std::string_view cp932);
  std::string Hint() const;

 private:
  std::vector<QLabel*> panels_;
  std::vector<int> widths_;
};
