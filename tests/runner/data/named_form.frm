VERSION 1.00
Begin Form frmOrders
   Begin SSActiveTreeView.SSTree Tree1
      Left = 0
      Top = 0
      Width = 4000
      Height = 3000
   End
   Begin TavoSSAddOn.TavoSSTreeController Ctl1
      Left = 0
      Top = 3060
      mySSTree = Control Tree1
      ToolTipTextPlus = "Auf"
   End
End
