VERSION 1.00
Begin Form Form1
   Begin TavoSSAddOn.TavoSSTreeController Ctl1
      Left = 0
      Top = 0
      mySSTree = Control Ctl2
   End
   Begin TavoSSAddOn.TavoSSTreeController Ctl2
      Left = 0
      Top = 300
      mySSTree = Control Ctl1
   End
   Begin TavoSSAddOn.TavoSSTreeController Ctl3
      Left = 0
      Top = 600
      mySSTree = Control Ctl3
   End
End
