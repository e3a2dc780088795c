#pragma once

#include <QStringList>

// The files that come with the program in its folder: the database with its
// first rows, the logo "logo.bmp" and the pictures "Imagens/Imagem Fundo (N).jpg".
namespace DeliveredFiles {
// Creates whichever of them is missing in folder; returns the files made.
// Needs a QGuiApplication (the pictures are drawn).
QStringList create(const QString& folder);
}
