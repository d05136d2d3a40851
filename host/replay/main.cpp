// PLACEHOLDER until the replay tool is written.
int main() { return 0; }
