#include "framework/DataExchange.h"

#include "framework/WindowObject.h"

namespace fw {

bool DataExchange::Control(int id, WindowObject& control)
{
    if (control.Handle())
        return false;
    return control.SubclassItem(dialog_, id);
}

} // namespace fw
