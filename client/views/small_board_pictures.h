// client/views/small_board_pictures.h — the pictures of the small board that the record preview and
// the game-list board show.
#pragma once
#include <QImage>
#include <string>

// Loads the clean board picture and the sprite sheet from the folder bmp; a picture that cannot be
// read is stood in for by a plain board or plain discs. Returns the first failure's message,
// empty when both were read.
std::string LoadSmallBoardPictures(QImage& board, QImage& sheet);
