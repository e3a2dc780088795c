#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's own pictures, drawn in code: toolbar images, the backup
// notices and the main window's built-in background.
namespace AppIcons {

// Toolbar image by button key: "Clientes", "Retirada", "Manutencao",
// "Entregues", "Protecao", "Sair". A null icon for any other key.
QIcon toolbar(const QString& key);
// A disk being written (the exit backup's notice, the backup window).
QPixmap backupDisk(int size);
// A closed padlock over a disk (the backup window: database open elsewhere).
QPixmap lockedDatabase(int size);
// A printer with a sheet coming out (print buttons).
QPixmap printer(int size);
// A calendar page (the calendar window).
QPixmap calendar(int size);
// A pocket calculator (the price window's calculator button).
QPixmap calculator(int size);
// Open scissors lying on their side, blades to the right (cut lines of
// printed copies); 24 bits, no transparency.
QImage scissors(int size);
// The main window's background when no picture of the day is shown.
QPixmap builtInBackground(const QSize& size);

}
