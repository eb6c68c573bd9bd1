// platform/window_state.h — placing windows and reading and setting their states, in the terms
// the windows use: Left and Top of the outer frame, outer width and height, minimised and normal.
#pragma once

class QWidget;

// Asks Qt for the X11 plugin when the desktop offers X11 and nobody chose a plugin: on Wayland
// a program cannot place its own windows. Call before the application object exists.
void PreferX11WindowSystem();

// The primary screen's size in pixels (1024 x 768 when there is no screen).
int ScreenWidth();
int ScreenHeight();

// Outer (frame) size of a top-level window; before its first showing, its client size.
int WindowWidth(const QWidget* window);
int WindowHeight(const QWidget* window);
int WindowLeft(const QWidget* window);
int WindowTop(const QWidget* window);
void SetWindowLeft(QWidget* window, int left);
void SetWindowTop(QWidget* window, int top);
// Places the frame at (left, top) and sizes it so that its outer size is width x height.
void SetWindowBounds(QWidget* window, int left, int top, int width, int height);
// Centres the window on the primary screen.
void CentreWindow(QWidget* window);

// A maximised window is neither minimised nor normal.
bool IsMinimized(const QWidget* window);
bool IsNormalState(const QWidget* window);
void MinimizeWindow(QWidget* window);
// Takes the window out of the minimised or maximised state (a hidden window keeps it for later).
void SetNormalState(QWidget* window);

// Draws the user's attention to the window (the taskbar's urgency hint).
void RequestAttention(QWidget* window);
// Brings the window to the front and gives it the keyboard.
void BringToFront(QWidget* window);
