#pragma once

#include "masterdata/stores/customerstore.h"

// A customer written by the store: how the write ended, its code in *code.
inline Orlavo::Services::WriteEnd insertInto(Orlavo::Services::DataAccess &db,
                                             const Orlavo::Masterdata::Customer &customer, int *code)
{
    const auto written = Orlavo::Masterdata::insertCustomer(db, customer);
    *code = int(written.code);
    return written.end;
}
