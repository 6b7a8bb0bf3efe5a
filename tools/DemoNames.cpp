#include "DemoNames.h"

namespace korvan::demo {

namespace {

enum Town {
    Valdora,
    PieveDiSotto,
    Castelnuovo,
    Montefosco,
    BorgoSerena,
    CaDeFrati,
    Villanova,
    PonteAlto,
    PraDiSopra,
    Fontanelle,
    CerretoAlto,
    LagoNero,
    SantOrsola,
    MalgaFerro,
    Roccabruna,
    ColleSanRocco,
    RivaDelLago,
    PortoSerena,
    CimaLago,
    SanVito,
};

} // namespace

const std::vector<NamedCode>& grantingAuthorityNames()
{
    static const std::vector<NamedCode> names = {
        {1, "Provincia di Valdora"}, {2, "Comunità Montana Alta Valle"}, {3, "Comune di San Vito"},
        {4, "Comune di Roccabruna"}, {5, "Unione dei Comuni del Lago"},
    };
    return names;
}

const std::vector<NamedCode>& additionalAuthorityNames()
{
    static const std::vector<NamedCode> names = {
        {8, "Consorzio Turistico Val Serena"},
        {9, "Azienda Sanitaria Locale di Valdora"},
    };
    return names;
}

const std::vector<NamedCode>& companyNames()
{
    static const std::vector<NamedCode> names = {
        {1, "Società Trasporti Valdora S.p.A."},
        {2, "Autolinee Alta Valle S.r.l."},
        {3, "Trasporti Urbani San Vito S.p.A."},
        {4, "Autoservizi F.lli Bertolini & C. S.n.c."},
    };
    return names;
}

const std::vector<TownPlan>& towns()
{
    static const std::vector<TownPlan> list = {
        {"Valdora", false},       {"Pieve di Sotto", false}, {"Castelnuovo", false},  {"Montefosco", false},
        {"Borgo Serena", false},  {"Ca' de' Frati", false},  {"Villanova", false},    {"Ponte Alto", false},
        {"Prà di Sopra", false},  {"Fontanelle", false},     {"Cerreto Alto", false}, {"Lago Nero", false},
        {"Sant'Orsola", false},   {"Malga Ferro", false},    {"Roccabruna", true},    {"Colle San Rocco", false},
        {"Riva del Lago", false}, {"Porto Serena", false},   {"Cima Lago", false},    {"San Vito", true},
    };
    return list;
}

const std::vector<LinePlan>& linePlans()
{
    // About forty codes. Among them: "101" run by two companies of the same
    // authority, "1", "2", "3" used by two authorities, "12" next to "12  "
    // (the same code with trailing blanks), "120 " and "204 " with a trailing
    // blank, an empty code (the hospital shuttle) and "SANT'ANNA".
    static const std::vector<LinePlan> plans = {
        {1, 1, "101", LineKind::Regional, {Valdora, PieveDiSotto, Castelnuovo, Montefosco}, 5},
        {1, 1, "102", LineKind::Regional, {Valdora, BorgoSerena, CaDeFrati}, 4},
        {1, 1, "103", LineKind::Regional, {Valdora, Villanova, PonteAlto}, 3},
        {1, 1, "104", LineKind::Regional, {Valdora, Castelnuovo, Villanova}, 3},
        {1, 1, "105", LineKind::Regional, {Valdora, SanVito}, 4},
        {1, 1, "110", LineKind::Regional, {SanVito, PieveDiSotto, BorgoSerena}, 2},
        {1, 1, "111", LineKind::Regional, {SanVito, Montefosco}, 2},
        {1, 1, "120 ", LineKind::Regional, {Valdora, CaDeFrati, PonteAlto, Roccabruna}, 3},
        {1, 2, "101", LineKind::Regional, {Valdora, PieveDiSotto, Castelnuovo, Montefosco}, 2},
        {1, 2, "130", LineKind::Regional, {Valdora, PraDiSopra, Fontanelle}, 3},
        {1, 2, "131", LineKind::Regional, {Valdora, Fontanelle, CerretoAlto}, 2},
        {1, 2, "132", LineKind::Regional, {Castelnuovo, PraDiSopra}, 2},
        {2, 2, "201", LineKind::Regional, {PraDiSopra, Fontanelle, CerretoAlto, LagoNero}, 3},
        {2, 2, "202", LineKind::Regional, {PraDiSopra, SantOrsola, MalgaFerro}, 2},
        {2, 2, "203", LineKind::Regional, {Fontanelle, SantOrsola}, 2},
        {2, 2, "204 ", LineKind::Regional, {CerretoAlto, MalgaFerro}, 1},
        {2, 2, "LAGO", LineKind::Tourist, {PraDiSopra, CerretoAlto, LagoNero}, 2},
        {2, 4, "210", LineKind::Regional, {Roccabruna, ColleSanRocco, SantOrsola}, 2},
        {2, 4, "211", LineKind::Regional, {Roccabruna, MalgaFerro}, 1},
        {2, 4, "212", LineKind::Regional, {ColleSanRocco, LagoNero}, 1},
        {3, 3, "1", LineKind::Urban, {SanVito}, 6},
        {3, 3, "2", LineKind::Urban, {SanVito}, 6},
        {3, 3, "3", LineKind::Urban, {SanVito}, 5},
        {3, 3, "4", LineKind::Urban, {SanVito}, 5},
        {3, 3, "5", LineKind::Urban, {SanVito}, 4},
        {3, 3, "6", LineKind::Urban, {SanVito}, 4},
        {3, 3, "7", LineKind::Urban, {SanVito}, 3},
        {3, 3, "8", LineKind::Urban, {SanVito}, 3},
        {3, 3, "12  ", LineKind::Urban, {SanVito}, 3},
        {3, 3, "12", LineKind::Urban, {SanVito}, 1},
        {3, 3, "", LineKind::Urban, {SanVito}, 2},
        {3, 3, "SANT'ANNA", LineKind::Urban, {SanVito}, 2},
        {3, 3, "N1", LineKind::Night, {SanVito}, 1},
        {4, 4, "1", LineKind::Urban, {Roccabruna}, 3},
        {4, 4, "2", LineKind::Urban, {Roccabruna}, 2},
        {4, 4, "3", LineKind::Urban, {Roccabruna}, 2},
        {4, 1, "R4", LineKind::Regional, {Roccabruna, ColleSanRocco, Valdora}, 2},
        {5, 1, "L1", LineKind::Tourist, {RivaDelLago, PortoSerena, CimaLago}, 3},
        {5, 1, "L2", LineKind::Tourist, {Valdora, RivaDelLago, PortoSerena}, 2},
        {5, 1, "L3", LineKind::Regional, {RivaDelLago, BorgoSerena}, 1},
        {5, 1, "L4 ", LineKind::Tourist, {CimaLago, LagoNero}, 1},
    };
    return plans;
}

const std::vector<std::string>& townPlaces()
{
    static const std::vector<std::string> places = {
        "Piazza",         "Stazione FS",      "Municipio", "Autostazione",     "Chiesa",
        "Scuole",         "Via Roma",         "Poste",     "Piazza Garibaldi", "Campo Sportivo",
        "Bivio",          "Cimitero",         "Ponte",     "Zona Industriale", "Via XX Settembre",
        "Piazza Mercato", "Albergo Centrale",
    };
    return places;
}

const std::vector<std::string>& urbanStreets(int town)
{
    // San Vito's streets are stop names of the urban network of Trento and
    // Rovereto. Contiene dati di Trentino trasporti S.p.A. (orari GTFS rete
    // urbana, versione 20250527145423.407), licenza CC BY 2.5.
    static const std::vector<std::string> sanVito = {
        "Piazza Duomo",
        "Stazione FS",
        "Via dell'Ospedale",
        "Corso Bettini Liceo",
        "Corso Rosmini Via Savioli",
        "Largo Prati",
        "Piazza Cappuccini",
        "Piazza Guella",
        "Piazza Podestà",
        "Piazzale Orsi Stazione Fs",
        "Piazzale S.Maria Ospedale",
        "Via All'adige",
        "Via Baratieri",
        "Via Benacense Scuole Dante",
        "Via Brigata Mantova",
        "Via Cavour Via Riva",
        "Via Circonvallazione",
        "Via Cornacalda",
        "Via Dante Borgo S.Caterina",
        "Via Dell'artigiano",
        "Via Delle Laste",
        "Via Fedrigotti Chiesa",
        "Via Lagarina",
        "Via Magazol Viale Trento",
        "Via Paoli",
        "Via Pasqui",
        "Via Pedroni",
        "Via Puccini Via Donizetti",
        "Via S.Maria",
        "Via Setaioli",
        "Via Unione Scuole Degasperi",
        "Via Vallunga Bivio M. Pipel",
        "Via Zandonai",
        "Via Zotti Via Cevedale",
        "Viale Dei Colli Campolongo",
        "Viale Dei Colli Via Vallunga",
        "Viale Schio S.Maria",
        "Viale Trento Via Salvetti",
        "Viale Vittoria Via Zotti",
    };
    static const std::vector<std::string> roccabruna = {
        "Piazza Municipio",   "Viale della Stazione", "Ospedale Civile", "Via Roma",
        "Piazza Garibaldi",   "Corso Italia",         "Via Mazzini",     "Via XX Settembre",
        "Piazza del Mercato", "Via San Rocco",        "Scuole Medie",    "Cimitero",
        "Via Verdi",          "Largo Cavour",         "Via Dante",       "Via della Rocca",
        "Piazzale Castello",  "Via dei Tigli",
    };
    return town == SanVito ? sanVito : roccabruna;
}

} // namespace korvan::demo
