#pragma once

namespace Orlavo::Bench {

// The agenda's five days over 200 000 appointments: the read and the view
// shown and painted, on both engines; to be called before the runs.
void registerAgendaBenchmarks();

} // namespace Orlavo::Bench
