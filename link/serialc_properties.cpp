#include "link/serialc_properties.h"

#include "framework/property_list_builder.h"

const fw::String& SerialcProperties() {
    static const fw::String list = fw::PropertyListBuilder()
                                       .Integer("Baud", 12)
                                       .Integer("Bits", 3)
                                       .Integer("Parity", 1)
                                       .Integer("Stop", 0)
                                       .Boolean("XON", false)
                                       .Boolean("CTS", false)
                                       .Boolean("DTR", false)
                                       .Build();
    return list;
}
