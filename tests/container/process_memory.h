#pragma once
// How much memory the process has committed for itself, as the system counts it: where big buffers live,
// and where they go back when freed. Summed region by region, since Wine reports no private usage.
namespace cardel::host {

long long CommittedPrivateBytes();

}  // namespace cardel::host
