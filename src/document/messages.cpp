// The German texts of the numbered messages.
#include "document/messages.h"

namespace quentar::document {

namespace {

// These texts are the keys of every translate.dat in use, so they stay letter for letter as the
// program has always shown them, slips of spelling ("Program", "untersützt") included: a corrected
// key would no longer find its translations.
constexpr std::string_view kMessages[kMessageCount] = {
    "Bitte schließen Sie das Program und starten Sie es neu.",
    "Übersetzen",
    "Die folgende Datei konnte nicht zum Schreiben geöffnet werden: ",
    "Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?",
    "Speichern",
    "Die DXF Version dieser DXF Datei unterstützt keine Linienbreiten.",
    "Die DXF Version dieser DXF untersützt keine solchen Spline Objekte.",
    "DXF Datei",
    "Die DXF Version dieser DXF Datei unterstützt keine Ellipsen.",
    "Die DXF Version dieser DXF Datei unterstützt keine Konstruktionslinien.",
    // The names of the drawing colours 1 ... 9.
    "Rot",
    "Gelb",
    "Grün",
    "Hellblau",
    "Blau",
    "Rosa",
    "Schwarz",
    "Grau",
    "Hellgrau",
    // Layer states in the layer list.
    "Unsichtbar",
    "Sichtbar",
    "Gesperrt",
    "Entsperrt",
    "Es existiert bereits eine Ebene mit diesem Namen.",
    "Sie haben keinen Namen für die neue Ebene eingegeben.",
    "Es existiert leider schon ein Linienstil mit diesem Namen.",
    "Sie haben die Längen nicht korrekt eingegeben.",
    "Sie haben leider keinen korrekten Namen für den Linienstil eingegeben.",
    "Konnte folgende Datei nicht öffnen: ",
    "Die DXF Version dieser DXF Datei unterstützt keine Strahlen.",
    "unbenannt.dxf",
    "Die DXF Version dieser DXF untersützt keine mehrzeilen Texte. Es wird nur die erste Zeile "
    "verwendet.",
    "Die DXF Version dieser DXF untersützt keine solchen \"LEADER\" Objekte.",
    "Die Zeichnung hat keine freien Handles mehr: es kann nichts hinzugefügt werden.",
    "Das Array wäre zu groß: es wurde nichts kopiert.",
};

} // namespace

std::string_view germanMessage(int number) {
    if (number < 1 || number > kMessageCount) return {};
    return kMessages[number - 1];
}

} // namespace quentar::document
