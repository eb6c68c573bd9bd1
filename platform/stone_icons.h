// platform/stone_icons.h — the small stone pictures of both programs' icons and menus.
#pragma once
#include <QIcon>
#include <QPixmap>

// A shaded black or white stone of `size` pixels on a transparent ground.
QPixmap StonePixmap(int size, bool black);
// A program icon of two overlapping stones; the black one stands upper left when `black_first`.
QIcon TwoStoneIcon(bool black_first);
