#include "shell/Edition.h"

#include "shell/KalvorVersion.h"

Edition FullEdition() {
    Edition e;
    e.executableName = QStringLiteral("Kalvor");
    e.version = QStringLiteral(KALVOR_FULL_VERSION);
    e.coordinateMode = true;
    e.paste = true;
    e.autosave = true;
    e.twoPointNote = true;
    e.frame3 = {180, 420, 4635, 1935};
    e.lblMesHelp = {180, 1020, 4155, 795};
    e.lblHelp = {9840, 540, 2235, 1455};
    return e;
}

Edition ReducedEdition() {
    Edition e;
    e.executableName = QStringLiteral("Kalvor080125");
    e.version = QStringLiteral(KALVOR_REDUCED_VERSION);
    e.coordinateMode = false;
    e.paste = false;
    e.autosave = false;
    e.twoPointNote = false;
    e.frame3 = {180, 420, 4635, 1995};
    e.lblMesHelp = {240, 1080, 4155, 855};
    e.lblHelp = {9840, 540, 2235, 1695};
    return e;
}
