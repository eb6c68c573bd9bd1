// client/views/mark_toolbar.cpp — the strip of marks that the board window and the counting board
// place.
#include "client/views/mark_toolbar.h"

TForm15* Form15 = nullptr;

TForm15::TForm15() = default;
