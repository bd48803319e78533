// PLACEHOLDER: the program entry comes with the console front end.
int main() { return 0; }
