#pragma once

// Why a split change that spreads an amount by length cannot be made: the
// length it would divide by is 0. Two-paragraph messages, shown with the
// stop icon; the dialog stays open.

#include <string>

namespace korvan::runs {

inline std::string zeroLengthRunMessage()
{
    return std::string("ATTENZIONE: La corsa ha lunghezza nulla: l'importo non può essere ripartito sulle ") +
           "corse selezionate in proporzione alla lunghezza.\n\n" +
           "Occorre togliere la spunta da \"Applico a tutte le corse selezionate\".\n\n";
}

inline std::string zeroLengthArcMessage()
{
    return std::string("ATTENZIONE: L'arco ha lunghezza nulla: l'importo totale non può essere ripartito sugli ") +
           "archi selezionati in proporzione alla lunghezza.\n\n" +
           "Occorre indicare un Importo Unitario Km o togliere la spunta da " +
           "\"Applico a tutti gli archi selezionati\".\n\n";
}

} // namespace korvan::runs
