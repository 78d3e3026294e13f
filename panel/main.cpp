#include "panel/startup.h"

int main() {
    return entry::main();
}
