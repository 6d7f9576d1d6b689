#include "outside/GlobaleBezeichner.h"

const CString CGlobaleBezeichner::m_strUrlBrennwaldSystemtechnik = "www.brennwald-systemtechnik.de";
