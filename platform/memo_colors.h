// platform/memo_colors.h — background colours of the read-only memos, written as the programs
// write them (0xBBGGRR: blue, green, red), and the colour cycle a click steps through.
#pragma once
#include <QColor>

class QWidget;

// 0xF0FFF0 -> 0xFFF0F0 -> 0xF0F0FF -> 0xFFFFFF -> 0xF0FFF0; any other colour is returned as it is.
unsigned NextMemoColor(unsigned bgr);

QColor ColorFromBgr(unsigned bgr);
unsigned BgrFromColor(const QColor& color);

// The base (text area) colour of a memo or list widget, and setting it.
void SetMemoColor(QWidget* widget, unsigned bgr);
unsigned MemoColor(const QWidget* widget);
// The text colour of a memo or list widget.
void SetMemoTextColor(QWidget* widget, unsigned bgr);
