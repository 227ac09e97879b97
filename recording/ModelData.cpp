#include "recording/ModelData.h"

ModelData &ModelData::shared()
{
    // Function-local statics are initialised once, even when first reached from several threads.
    static ModelData instance;
    return instance;
}
