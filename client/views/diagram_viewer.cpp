// client/views/diagram_viewer.cpp — the viewer of board diagrams sent in game chat.
#include "client/views/diagram_viewer.h"

TForm9* Form9 = nullptr;

TForm9::TForm9() = default;
