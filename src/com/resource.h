#pragma once

// Resource ids of Pelmora.dll.
#define IDS_PROJNAME 100
#define IDR_PELMORA 106
