// client/views/record_preview.cpp — the preview of a game record and builder of a start position
// from it.
#include "client/views/record_preview.h"

TForm11* Form11 = nullptr;

TForm11::TForm11() = default;
