// The kostrivane executable: everything lives in the game library.
int main()
{
    return 0;
}
