// platform/tray_icon.h — an icon in the desktop's notification area, where there is one.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QIcon;
class QSystemTrayIcon;

class TrayIcon {
 public:
  // Presses on the icon that the programs act on; other mouse events are not reported.
  enum class Press { Left, Right };

  virtual ~TrayIcon() = default;
  // Shows the icon with its tip (cp932); false when the desktop has no notification area.
  virtual bool Add(std::string_view tip) = 0;
  virtual void Remove() = 0;
  virtual bool Shown() const = 0;

  std::function<void(Press)> OnPress;
};

class QtTrayIcon : public TrayIcon {
 public:
  explicit QtTrayIcon(const QIcon& icon);
  ~QtTrayIcon() override;
  bool Add(std::string_view tip) override;
  void Remove() override;
  bool Shown() const override;

 private:
  std::unique_ptr<QSystemTrayIcon> icon_;
};

// Test double: a notification area that is there or not, as the test says.
class FakeTrayIcon : public TrayIcon {
 public:
  explicit FakeTrayIcon(bool available = true) : available_(available) {}
  bool Add(std::string_view tip) override {
    if (!available_) return false;
    shown_ = true;
    tip_ = tip;
    return true;
  }
  void Remove() override {
    if (shown_) ++removals_;
    shown_ = false;
  }
  bool Shown() const override { return shown_; }
  const std::string& tip() const { return tip_; }
  int removals() const { return removals_; }
  void Press(TrayIcon::Press press) {
    if (shown_ && OnPress) OnPress(press);
  }

 private:
  bool available_;
  bool shown_ = false;
  int removals_ = 0;
  std::string tip_;
};
