// The formulas of the calculation engine, their change handlers and the engine's start values.
#include "costing/engine.h"

#include "costing/decimal_text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace quentar::costing {

namespace {

// What each kind of quantity takes. Any other value is refused, and the calculation goes on with
// the last one taken.
constexpr NumberRules kQuantity{
    .whole = true, .ranged = true, .low = 1, .high = 10'000'000, .least = 1, .most = 10'000'000};
constexpr NumberRules kHoles{.whole = true, .least = 0, .most = INT32_MAX};
// A mark-up of -100 % gives the thing away; below that the customer would be paid.
constexpr NumberRules kMarkUp{.least = -100};
constexpr NumberRules kDiscount{.ranged = true, .low = 0, .high = 100, .least = 0, .most = 100};
// The two per-order charges: clamped when a formula writes them, as typed otherwise.
constexpr NumberRules kCharge{.ranged = true, .low = 0, .high = 100, .least = 0};

// The figures a drawing brings: lengths are never negative, and a drawing is as large as it is.
// The coverage may come out negative for a drawing of several parts (its holes then add up to
// more than its outline); whether such figures make sense for a sheet part is the measuring's to
// say, not a reason to keep an earlier drawing's figure.
constexpr NumberRules kMeasured{.least = 0, .most = std::numeric_limits<double>::infinity()};

// A feed below this (1 mm a minute) is a slip of the finger, and would make the laser time run
// beyond anything a calculation can hold; a feed of 0 would cut in no time at all.
constexpr double kSlowestFeed = 0.001;
constexpr NumberRules kFeed{.least = kSlowestFeed};

} // namespace

Engine::Engine(const Catalogue &catalogue, const TierList &tiers)
    : MaterialBoxEd("MaterialBoxEd"), StueckEd("StueckEd", 1, kQuantity),
      MatstarkEd("MatstarkEd", 0, kAboveZero), MatZugabeEd("MatZugabeEd", 0),
      mataufschlagEd("mataufschlagEd", 0, kMarkUp), StundensatzEd("StundensatzEd", 0, kNotNegative),
      RabattEd("RabattEd", 0, kDiscount),
      FabrikationsStundensatzEd("FabrikationsStundensatzEd", 0, kNotNegative),
      InitialEd("InitialEd", 0, 0, 0), ProgramStundenEd("ProgramStundenEd", 0, kNotNegative),
      ProgrammierEd("ProgrammierEd", 0, 0, 0), GewinnAufschlagEd("GewinnAufschlagEd", 0, kMarkUp),
      KleinMengenEd("KleinMengenEd", 0, kCharge), TransportEd("TransportEd", 0, kCharge),
      qmPreisCheck("qmPreisCheck", false),
      TransportproStueckCheck("TransportproStueckCheck", false), breited("breited", 0, kMeasured),
      hoched("hoched", 0, kMeasured), KonturmmEd("KonturmmEd", 0, kMeasured),
      FlaecheEd("FlaecheEd", 0, kAnyResult), MatPreisEd("MatPreisEd", 0, kNotNegative),
      vorschubed("vorschubed", 0, kFeed), SpezGewEd("SpezGewEd", 0, kNotNegative),
      AnzLochEd("AnzLochEd", 0, kHoles), DurchMesserEd("DurchMesserEd", 1, kNotNegative),
      EinstechzeitEd("EinstechzeitEd", 0, 0, 0), PiercesEd("PiercesEd", 0, kHoles),
      PierceContoursCheck("PierceContoursCheck", false), StundeEd("StundeEd", 0, kNotNegative),
      DateTimePicker1("DateTimePicker1", 0, 0, 0), DateTimePicker2("DateTimePicker2", 0, 0, 0),
      DateTimePicker3("DateTimePicker3", 0, 0, 0), DateTimePicker4("DateTimePicker4", 0, 0, 0),
      DateTimePicker5("DateTimePicker5", 0, 0, 0), DateTimePicker6("DateTimePicker6", 0, 0, 0),
      DateTimePicker7("DateTimePicker7", 0, 0, 0), DateTimePicker8("DateTimePicker8", 0, 0, 0),
      DateTimePicker9("DateTimePicker9", 0, 0, 0), DateTimePicker10("DateTimePicker10", 0, 0, 0),
      GewichtEd("GewichtEd", 0, kAnyResult), TeilgewichtEd("TeilgewichtEd", 0, kAnyResult),
      LaserZeitEd("LaserZeitEd", 0, 0, 0, true), matkostenEd("matkostenEd", 0, kAnyResult),
      SchneidkostenEd("SchneidkostenEd", 0, kAnyResult),
      lohnkostened("lohnkostened", 0, kAnyResult), GesamtKostenEd("GesamtKostenEd", 0, kAnyResult),
      PreisProStueckEd("PreisProStueckEd", 0, kAnyResult),
      GesamtPreisEd("GesamtPreisEd", 0, kAnyResult), catalogue_(catalogue), tiers_(tiers) {
    fields_ = {&MaterialBoxEd,  &StueckEd,         &MatstarkEd,    &MatZugabeEd,
               &mataufschlagEd, &StundensatzEd,    &RabattEd,      &FabrikationsStundensatzEd,
               &InitialEd,      &ProgramStundenEd, &ProgrammierEd, &GewinnAufschlagEd,
               &KleinMengenEd,  &TransportEd,      &qmPreisCheck,  &TransportproStueckCheck,
               &breited,        &hoched,           &KonturmmEd,    &FlaecheEd,
               &MatPreisEd,     &vorschubed,       &SpezGewEd,     &AnzLochEd,
               &DurchMesserEd,  &EinstechzeitEd,   &PiercesEd,     &PierceContoursCheck,
               &StundeEd};
    for (int i = 1; i <= 10; ++i) fields_.push_back(&effortTime(i));
    for (Field *f : {static_cast<Field *>(&GewichtEd), static_cast<Field *>(&TeilgewichtEd),
                     static_cast<Field *>(&LaserZeitEd), static_cast<Field *>(&matkostenEd),
                     static_cast<Field *>(&SchneidkostenEd), static_cast<Field *>(&lohnkostened),
                     static_cast<Field *>(&GesamtKostenEd), static_cast<Field *>(&PreisProStueckEd),
                     static_cast<Field *>(&GesamtPreisEd)})
        fields_.push_back(f);
    installChecks();
    wireHandlers();
    setStartValues();
}

void Engine::installChecks() {
    // A negative allowance trims the part; it must leave some of it in both directions.
    MatZugabeEd.setCheck([this](double z) -> std::optional<Refusal> {
        const double shorter = std::min(breited.value(), hoched.value());
        if (z < 0 && 2 * z <= -shorter)
            return Refusal{Refusal::Reason::LargerThanThePart, -shorter / 2};
        return std::nullopt;
    });
}

bool Engine::isComputed(const Field &f) const {
    for (const Field *c :
         {static_cast<const Field *>(&GewichtEd), static_cast<const Field *>(&TeilgewichtEd),
          static_cast<const Field *>(&LaserZeitEd), static_cast<const Field *>(&matkostenEd),
          static_cast<const Field *>(&SchneidkostenEd), static_cast<const Field *>(&lohnkostened),
          static_cast<const Field *>(&GesamtKostenEd),
          static_cast<const Field *>(&PreisProStueckEd),
          static_cast<const Field *>(&GesamtPreisEd)})
        if (c == &f) return true;
    return false;
}

std::optional<Refusal> Engine::checkSetting(const Field &f, const std::string &text) const {
    if (isComputed(f)) return Refusal{Refusal::Reason::Computed};
    return f.check(text);
}

std::vector<const Field *> Engine::refusedFields() const {
    std::vector<const Field *> refused;
    for (const Field *f : fields_)
        if (f->refusal()) refused.push_back(f);
    return refused;
}

TimeField &Engine::effortTime(int i) {
    TimeField *rows[] = {&DateTimePicker1, &DateTimePicker2, &DateTimePicker3, &DateTimePicker4,
                         &DateTimePicker5, &DateTimePicker6, &DateTimePicker7, &DateTimePicker8,
                         &DateTimePicker9, &DateTimePicker10};
    return *rows[i >= 1 && i <= 10 ? i - 1 : 0];
}

std::vector<std::string> Engine::fieldNames() const {
    std::vector<std::string> names;
    for (const Field *f : fields_) names.push_back(f->name());
    return names;
}

Field *Engine::field(std::string_view name) const {
    for (Field *f : fields_)
        if (f->name() == name) return f;
    return nullptr;
}

void Engine::wireHandlers() {
    // Each handler runs its steps in this order; every step's write runs the written field's own
    // handler before the next step.
    auto on = [](Field &f, std::function<void()> handler) { f.setChangeHandler(handler); };
    on(MatstarkEd, [this] {
        calcgewicht();
        selectvorschub();
    });
    for (Field *f : {&MatZugabeEd, &SpezGewEd}) on(*f, [this] { calcgewicht(); });
    // A new part may be too small for a negative allowance that fitted the last one.
    for (Field *f : {&breited, &hoched})
        on(*f, [this] {
            MatZugabeEd.recheck();
            calcgewicht();
        });
    on(GewichtEd, [this] {
        calcmatkosten();
        calcteilgewicht();
    });
    on(FlaecheEd, [this] { calcteilgewicht(); });
    for (Field *f : std::initializer_list<Field *>{&MatPreisEd, &mataufschlagEd, &qmPreisCheck})
        on(*f, [this] { calcmatkosten(); });
    for (Field *f : std::initializer_list<Field *>{&KonturmmEd, &vorschubed, &AnzLochEd,
                                                   &DurchMesserEd, &EinstechzeitEd, &PiercesEd,
                                                   &PierceContoursCheck})
        on(*f, [this] { calclaserzeit(); });
    for (Field *f : std::initializer_list<Field *>{&LaserZeitEd, &StundensatzEd, &RabattEd})
        on(*f, [this] { calcschneidkosten(); });
    for (Field *f : std::initializer_list<Field *>{&ProgramStundenEd, &StundeEd, &ProgrammierEd,
                                                   &FabrikationsStundensatzEd, &InitialEd})
        on(*f, [this] { calclohnkosten(); });
    for (int i = 1; i <= 10; ++i) on(effortTime(i), [this] { calclohnkosten(); });
    // The order total is built from these costs, not from the rounded price per piece, so it
    // follows them even when the price per piece shows no change.
    for (Field *f : {&matkostenEd, &SchneidkostenEd, &lohnkostened})
        on(*f, [this] {
            calcgesamtkosten();
            calcgesamtpreis();
        });
    on(GesamtKostenEd, [this] { calcpreisprostueck(); });
    on(GewinnAufschlagEd, [this] {
        calcpreisprostueck();
        calcgesamtpreis();
    });
    for (Field *f : {&PreisProStueckEd, &KleinMengenEd}) on(*f, [this] { calcgesamtpreis(); });
    for (Field *f : std::initializer_list<Field *>{&TransportEd, &TransportproStueckCheck})
        on(*f, [this] {
            calcgesamtkosten();
            calcgesamtpreis();
        });
    on(StueckEd, [this] { StueckEdChange(); });
    on(MaterialBoxEd, [this] { MaterialBoxEdChange(); });
}

void Engine::setStartValues() {
    // In this order, each write running its chain, as the calculator has always started.
    GesamtKostenEd.setValue(0);
    breited.setValue(0);
    hoched.setValue(0);
    MatZugabeEd.setValue(8);
    KonturmmEd.setValue(0);
    vorschubed.setValue(11.5);
    SpezGewEd.setValue(7.8);
    MatstarkEd.setValue(1);
    MatPreisEd.setValue(3);
    mataufschlagEd.setValue(20);
    matkostenEd.setValue(0);
    StundensatzEd.setValue(250);
    StundeEd.setValue(40);
    SchneidkostenEd.setValue(0);
    ProgrammierEd.setTimeOfDay(5.0 / (24 * 60));
    InitialEd.setTimeOfDay(0);
    for (int i = 1; i <= 10; ++i) effortTime(i).setTimeOfDay(0);
    ProgramStundenEd.setValue(40);
    FabrikationsStundensatzEd.setValue(40);
    GewinnAufschlagEd.setValue(30);
}

namespace {

// A side of the blank: the part's side grown by the allowance on both ends. An allowance that
// would trim the part away is marked on its field and leaves no blank, not a negative one whose
// product with the other side turns positive again.
double blankSide(double side, double allowance) { return std::max(side + 2 * allowance, 0.0); }

} // namespace

void Engine::calcgewicht() {
    const double b = breited.value(), h = hoched.value(), z = MatZugabeEd.value();
    const double t = MatstarkEd.value(), rho = SpezGewEd.value();
    // Millimetres to decimetres, so kg/dm³ gives kg.
    GewichtEd.setValue(rho * blankSide(b, z) / 100 * blankSide(h, z) / 100 * t / 100);
}

void Engine::calcteilgewicht() {
    const double w0 =
        SpezGewEd.value() * breited.value() / 100 * hoched.value() / 100 * MatstarkEd.value() / 100;
    TeilgewichtEd.setValue(w0 * FlaecheEd.value() / 100);
}

void Engine::calcmatkosten() {
    if (qmPreisCheck.checked()) {
        const double b = breited.value(), h = hoched.value(), z = MatZugabeEd.value();
        // The blank's area in m², at a price per m².
        matkostenEd.setValue(MatPreisEd.value() *
                             (blankSide(b, z) / 1000 * blankSide(h, z) / 1000) *
                             (mataufschlagEd.value() + 100) / 100);
    } else {
        matkostenEd.setValue(GewichtEd.value() * MatPreisEd.value() *
                             (mataufschlagEd.value() + 100) / 100);
    }
}

void Engine::calclaserzeit() {
    const double v = vorschubed.value();
    // Without a feed rate there is no cutting time; the last laser time stays.
    if (v != 0) {
        const double k = AnzLochEd.value(), d = DurchMesserEd.value();
        // Piercing is charged for the additional holes, and for the drawing's own contours
        // when the user asks for it.
        const double pierces = k + (PierceContoursCheck.checked() ? PiercesEd.value() : 0);
        const double piercing = EinstechzeitEd.dayFraction() * 24 * 3600 * pierces;
        // The feed in m/min as mm/s; each additional hole adds its circumference.
        const double cutting = (KonturmmEd.value() + d * std::numbers::pi * k) / (v * 1000 / 60);
        LaserZeitEd.setTimeOfDay((piercing + cutting) / 86400);
    }
    calcschneidkosten();
}

void Engine::calcschneidkosten() {
    SchneidkostenEd.setValue(StundensatzEd.value() * (LaserZeitEd.dayFraction() * 86400) / 3600 *
                             (100 - RabattEd.value()) / 100);
}

void Engine::calclohnkosten() {
    double sum = 0;
    sum += ProgramStundenEd.value() * ProgrammierEd.hours();
    sum += FabrikationsStundensatzEd.value() * InitialEd.hours();
    for (int i = 1; i <= 10; ++i) sum += StundeEd.value() * effortTime(i).hours();
    lohnkostened.setValue(sum);
}

void Engine::calcgesamtkosten() {
    const double n = StueckEd.value();
    // A typed quantity of 0 has no cost per piece: the last figure stays.
    if (n == 0) return;
    double cost = matkostenEd.value() + SchneidkostenEd.value() + lohnkostened.value() / n;
    if (TransportproStueckCheck.checked()) cost += TransportEd.value();
    GesamtKostenEd.setValue(cost);
}

void Engine::calcpreisprostueck() {
    PreisProStueckEd.setValue(GesamtKostenEd.value() * (GewinnAufschlagEd.value() + 100) / 100);
}

void Engine::calcgesamtpreis() {
    const double n = StueckEd.value();
    if (TransportproStueckCheck.checked()) {
        // The transport is in the price per piece already.
        GesamtPreisEd.setValue(PreisProStueckEd.value() * n + KleinMengenEd.value());
        return;
    }
    // Surcharge and transport are charged once per order, without profit on them.
    GesamtPreisEd.setValue(
        (matkostenEd.value() * n + SchneidkostenEd.value() * n + lohnkostened.value()) *
            (GewinnAufschlagEd.value() + 100) / 100 +
        KleinMengenEd.value() + TransportEd.value());
}

void Engine::selectvorschub() {
    if (auto feed = findFeed(catalogue_.feedTable(), MaterialBoxEd.index(), MatstarkEd.value()))
        vorschubed.setValue(*feed);
}

void Engine::lookupTierDiscount() {
    RabattEd.setValue(tierDiscount(tiers_.rows(), static_cast<long long>(StueckEd.value())));
}

void Engine::StueckEdChange() {
    lookupTierDiscount();
    calcgesamtpreis();
    calcgesamtkosten();
}

void Engine::ProgrammierEdChange() { calclohnkosten(); }

void Engine::MaterialBoxEdChange() {
    const int i = MaterialBoxEd.index();
    const auto &rows = catalogue_.rows();
    if (i >= 0 && i < static_cast<int>(rows.size())) {
        const MaterialRow &row = rows[static_cast<std::size_t>(i)];
        // Each step on its own. A text that is no number is refused by its field like a typed
        // one: marked, and the calculation does not go on as if it were the last material's.
        if (auto price = tryParseDecimal(row.price))
            MatPreisEd.setValue(*price);
        else
            MatPreisEd.setText(row.price);
        if (auto weight = tryParseDecimal(row.weight))
            SpezGewEd.setValue(*weight);
        else
            SpezGewEd.setText(row.weight);
        qmPreisCheck.setChecked(row.perSquareMetre);
    }
    selectvorschub();
}

void Engine::updateMaterialBox() {
    std::vector<std::string> names;
    for (const MaterialRow &r : catalogue_.rows()) names.push_back(r.name);
    const int remembered = MaterialBoxEd.index();
    MaterialBoxEd.setItems(std::move(names), remembered < 0 ? 0 : remembered);
}

void Engine::takeOverDrawing(const DrawingFigures &figures) {
    // The parts' net area as the contours nest; without it, the largest contour is the outline
    // and every other closed contour a hole.
    double net = 0;
    if (figures.netArea) {
        net = *figures.netArea;
    } else {
        std::vector<double> areas = figures.flaechen;
        for (std::size_t i = 0; i + 1 < areas.size(); ++i)
            for (std::size_t j = i + 1; j < areas.size(); ++j)
                if (areas[j] > areas[i]) std::swap(areas[i], areas[j]);
        if (!areas.empty()) {
            double holes = 0;
            for (std::size_t i = 1; i < areas.size(); ++i) holes += areas[i];
            net = areas[0] - holes;
        }
    }
    PiercesEd.setValue(figures.pierces);
    KonturmmEd.setValue(figures.konturlang);
    breited.setValue(figures.konturmaxx - figures.konturminx);
    hoched.setValue(figures.konturmaxy - figures.konturminy);
    // The coverage refers to the rectangle as displayed.
    const double w = breited.value(), l = hoched.value();
    FlaecheEd.setValue(w * l == 0 ? 100 : net * 100 / (w * l));
    calcgewicht();
    calclaserzeit();
}

} // namespace quentar::costing
