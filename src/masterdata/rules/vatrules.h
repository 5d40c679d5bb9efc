#pragma once

namespace Orlavo::Masterdata {

// The VAT of an amount at `decimals`: to nearest, halves away from zero;
// with the company's round-up (ARROTIVASUPERIORE "SI") every inexact VAT
// goes up to the next unit of its last decimal, a negative one in
// magnitude. Inexact is judged at 15 significant digits, so 22 % of 45,50
// is 10,01 whichever way it is rounded.
double roundVat(double value, int decimals, bool roundUp);

// A VAT amount the operator typed over the computed one: refused when the
// computed VAT is 0; otherwise, except on VAT-only documents, accepted
// within 0,3 % of it or one unit of its last decimal, whichever is larger,
// so a cent can always be corrected.
bool manualVatAccepted(double typed, double computed, int decimals, bool vatOnly);

inline constexpr const char kWrongVat[] = "Imposta errata.";

} // namespace Orlavo::Masterdata
