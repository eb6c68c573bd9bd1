// client/connection/challenge_dialog.cpp — the challenge received dialog.
#include "client/connection/challenge_dialog.h"

TForm12* Form12 = nullptr;

TForm12::TForm12() { setWindowTitle(QString::fromUtf8(" 対 局 の 申 し 込 み")); }

// Answering challenges is not built yet: a received challenge gets no answer.
void TForm12::ReceiveChallenge(const std::string&) {}
