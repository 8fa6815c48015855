// The baseline of Wine's own cost: a program that starts and ends. It
// imports nothing beyond the C run-time and kernel32.
int main() { return 0; }
