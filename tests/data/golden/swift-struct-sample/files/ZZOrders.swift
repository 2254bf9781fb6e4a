//
//  ZZOrders.swift
//
//
//  Created by 张三 on 2026/12/05.
//  Copyright © 2026年 Acme Labs. All rights reserved.
//

import Foundation

struct ZZOrders: Codable {

    var id: Int
    var total: Float
}
