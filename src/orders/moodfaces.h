#pragma once

#include <QPixmap>
#include <QString>

// The customer's mood on a service order (TblManutencao.Emocao): seven moods
// from calm to hostile, each with its name and a 32 x 32 face drawn in code.
namespace MoodFaces {

inline constexpr int Count = 7;
// "Tranquilo", "Desconfiado", "Impaciente", "Irritado", "Bravo",
// "Mal Intencionado", "Procon"; empty outside 0..6.
QString name(int mood);
// The face of a mood (a calm smile for 0 ... a horned face for 6); a null
// pixmap outside 0..6.
QPixmap face(int mood);

}
