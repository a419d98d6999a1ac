#include "editions/edition.h"

int main(int argc, char **argv)
{
    return orvane::RunEdition(argc, argv, orvane::Edition::Full);
}
