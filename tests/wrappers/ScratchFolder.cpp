// The scratch folder of the utility tests, built into this test executable as well.
#include "../utils/ScratchFolder.cpp"
