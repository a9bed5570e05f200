// Entry point of ludex; replaced by the application core's entry point.
int main() { return 0; }
