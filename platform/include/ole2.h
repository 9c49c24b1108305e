#include <objbase.h>
