VERSION 1.00
Begin Form F
End
Begin Form G
End
