VERSION 1.00
Begin Form Form1
End
