#pragma once

// The formulas particular to each unit system, as plain arithmetic on doubles.
// Each evaluates its terms in a fixed order, so that every run gives the same
// digits on every machine.

namespace kalvoran::calc::si {

// Hazen-Williams friction loss in bar per metre of pipe, for a flow q in
// L/min, a C factor c and a nominal diameter d in mm.
[[nodiscard]] double frictionLoss(double q, double c, double d);
// The pressure of an elevation h in metres, in bar.
[[nodiscard]] double elevationPressure(double h);
// The head the pump must deliver, in metres of water, for a residual pressure
// p in bar, an elevation h in m, an equivalent length el in m and a friction
// loss fl in bar/m.
[[nodiscard]] double pumpHead(double p, double h, double el, double fl);
// The velocity of flow in m/s, for a flow q in L/min and a diameter d in mm.
[[nodiscard]] double velocity(double q, double d);

} // namespace kalvoran::calc::si

namespace kalvoran::calc::british {

// Hazen-Williams friction loss in psi per foot of pipe, for a flow q in US
// gpm, a C factor c and a nominal diameter d in inches.
[[nodiscard]] double frictionLoss(double q, double c, double d);
// The pressure of an elevation h in feet, in psi.
[[nodiscard]] double elevationPressure(double h);
// The pressure the pump must deliver, in psi, for a residual pressure p in
// psi, an elevation h in ft, an equivalent length el in ft and a friction
// loss fl in psi/ft.
[[nodiscard]] double pumpHead(double p, double h, double el, double fl);
// The velocity of flow in ft/s, for a flow q in US gpm and a diameter d in
// inches.
[[nodiscard]] double velocity(double q, double d);

} // namespace kalvoran::calc::british
